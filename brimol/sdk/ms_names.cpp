// Uses every exported member of BRIMOL.DLL's classes once. Compiled for
// Microsoft's ABI only, never linked: the undefined symbols of the object
// are the names that ABI gives the members, and the build pairs them with
// the library's own names to make the aliases of BRIMOL.DLL. A member
// added to brimol.h and exported but not used here stops the build.
#include "brimol.h"

namespace {

// A derived class reaches the protected members.
class EveryRecordMember : public CRegSystem {
public:
    void Use() {
        RegOpen("x");
        RegCreate("x");
        RegClose();
        void* block = CRegPanel::operator new(1);
        CRegPanel::operator delete(block);
        block = CRegPanel::operator new[](1);
        CRegPanel::operator delete[](block);
    }
};

class EveryTableMember : public CUSBInterface {
public:
    void Use() {
        void* block = CUSBInterface::operator new(1);
        CUSBInterface::operator delete(block);
        block = CUSBInterface::operator new[](1);
        CUSBInterface::operator delete[](block);
    }
};

}  // namespace

extern "C" void UseEveryMember(const char* text) {
    CRegString empty;
    CRegString string(text);
    string = text;
    string.c_str();
    string.length();

    CRegPanel panel;
    CRegPanel panelCopy(panel);
    panelCopy = panel;
    panel.GetAllRegID();
    panel.GetPanelReg(0);
    panel.SetPanelReg(0);

    CRegSystem system;
    CRegSystem systemCopy(system);
    systemCopy = system;
    system.GetSystemReg();
    system.SetSystemReg();

    CUSBInterface usb;
    CUSBInterface usbCopy(usb);
    usbCopy = usb;
    usb.UpdateDevices();
    usb.SetActiveDevice(0);
    usb.SetAllPanelDisable();
    usb.SetAllPanelEnable();
    usb.PresentTouchState();
    usb.InitExclusiveUSB();
    usb.RemoveExclusiveUSB();

    EveryRecordMember().Use();
    EveryTableMember().Use();
}
