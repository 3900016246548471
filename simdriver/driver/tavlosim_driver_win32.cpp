// The simulated touch-panel driver as a WDM kernel-mode driver. It hosts the
// device model unchanged and answers the request table on \Device\Tavlo
// (\\.\Tavlo for programs), completing each request synchronously.
//
// The control side (attach panels, touch, faults, state, log) travels as
// private requests on the same device. "Device missing" is played by
// removing the \DosDevices\Tavlo name: CreateFileA then fails as it would
// without a driver. A second name, \DosDevices\TavloSimControl, stays so the
// simulator console can put the device back.
extern "C" {
#include <ddk/wdm.h>
}

#include <new>

#include "control_protocol.h"
#include "device_model.h"

namespace {

constexpr ULONG kMaxBuffer = 256;

alignas(tavlosim::DeviceModel) unsigned char g_modelStorage[sizeof(tavlosim::DeviceModel)];
tavlosim::DeviceModel* g_model = nullptr;
bool g_plugged = false;
volatile long g_lock = 0;

UNICODE_STRING g_deviceName;
UNICODE_STRING g_linkName;
UNICODE_STRING g_controlLinkName;

// The driver host may deliver requests on several threads; one request at a
// time keeps the model consistent. Requests are short and never block.
class ModelLock {
public:
    ModelLock() {
        while (__atomic_exchange_n(&g_lock, 1, __ATOMIC_ACQUIRE) != 0) {
        }
    }
    ~ModelLock() { __atomic_store_n(&g_lock, 0, __ATOMIC_RELEASE); }
};

// Win32 error chosen by the model -> the NTSTATUS that gives it back to the
// caller through GetLastError.
NTSTATUS StatusForError(uint32_t error) {
    switch (error) {
    case 0:
        return STATUS_SUCCESS;
    case 1:
        return STATUS_INVALID_DEVICE_REQUEST;
    case 2:
        return STATUS_OBJECT_NAME_NOT_FOUND;
    case 5:
        return STATUS_ACCESS_DENIED;
    case 21:
        return STATUS_DEVICE_NOT_READY;
    case 50:
        return STATUS_NOT_SUPPORTED;
    case 87:
        return STATUS_INVALID_PARAMETER;
    case 122:
        return STATUS_BUFFER_TOO_SMALL;
    case 1117:
        return STATUS_IO_DEVICE_ERROR;
    case 1167:
        return STATUS_DEVICE_NOT_CONNECTED;
    default:
        return STATUS_UNSUCCESSFUL;  // ERROR_GEN_FAILURE (31)
    }
}

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

void ApplyPlugAction(tavlosim::PlugAction action) {
    if (action == tavlosim::PlugAction::kUnplug && g_plugged) {
        IoDeleteSymbolicLink(&g_linkName);
        g_plugged = false;
    } else if (action == tavlosim::PlugAction::kReplug && !g_plugged) {
        g_plugged = NT_SUCCESS(IoCreateSymbolicLink(&g_linkName, &g_deviceName));
    }
}

NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT, PIRP irp) { return Complete(irp, STATUS_SUCCESS, 0); }

NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    uint8_t* system = static_cast<uint8_t*>(irp->AssociatedIrp.SystemBuffer);
    if (inSize > kMaxBuffer || outSize > kMaxBuffer) return Complete(irp, STATUS_INVALID_PARAMETER, 0);

    // Input and output share the system buffer: take the input out first.
    uint8_t in[kMaxBuffer];
    uint8_t out[kMaxBuffer];
    for (ULONG i = 0; i < inSize; ++i) in[i] = system[i];
    uint32_t returned = 0;
    uint32_t error;
    {
        ModelLock lock;
        if (tavlosim::IsControlCode(code)) {
            tavlosim::PlugAction action = tavlosim::PlugAction::kNone;
            error = tavlosim::HandleControl(*g_model, g_plugged, code, in, inSize, outSize ? out : nullptr, outSize,
                                            &returned, &action);
            ApplyPlugAction(action);
        } else {
            error = g_model->Handle(code, inSize ? in : nullptr, inSize, outSize ? out : nullptr, outSize, &returned);
        }
    }
    if (error != 0) return Complete(irp, StatusForError(error), 0);
    // The system buffer holds outSize bytes: an overlong override reply is
    // cut to that length rather than copied past it.
    if (returned > outSize) returned = outSize;
    for (uint32_t i = 0; i < returned; ++i) system[i] = out[i];
    return Complete(irp, STATUS_SUCCESS, returned);
}

void NTAPI DriverUnload(PDRIVER_OBJECT driver) {
    if (g_plugged) IoDeleteSymbolicLink(&g_linkName);
    IoDeleteSymbolicLink(&g_controlLinkName);
    if (driver->DeviceObject != nullptr) IoDeleteDevice(driver->DeviceObject);
}

}  // namespace

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
    RtlInitUnicodeString(&g_deviceName, L"\\Device\\Tavlo");
    RtlInitUnicodeString(&g_linkName, L"\\DosDevices\\Tavlo");
    RtlInitUnicodeString(&g_controlLinkName, L"\\DosDevices\\TavloSimControl");

    g_model = new (g_modelStorage) tavlosim::DeviceModel();

    PDEVICE_OBJECT device = nullptr;
    NTSTATUS status = IoCreateDevice(driver, 0, &g_deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) return status;
    status = IoCreateSymbolicLink(&g_linkName, &g_deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    g_plugged = true;
    status = IoCreateSymbolicLink(&g_controlLinkName, &g_deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteSymbolicLink(&g_linkName);
        IoDeleteDevice(device);
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    device->Flags &= ~DO_DEVICE_INITIALIZING;

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
