"""The setup program under Wine, silent, as an integrator rolls it out:

- installers of an earlier version (N-1) and of this one (N) are made here
  from the release build's files and signed with a certificate made here;
  every signature is verified;
- the suite installed by the Windows Installer package (a package with its
  UpgradeCode, of either bitness) stops the setup with exit code 9 and
  nothing installed;
- N-1 installed with Nystra at logon, Nystra started and a panel made
  active; the silent upgrade to N ends Nystra cleanly and starts it again
  (through the desktop's shell); the files are N's, also one that was
  missing, the logon entry that pointed elsewhere is the suite's again, the
  records are intact, one entry is in the list of installed programs (the
  other edition's taken over);
- a reinstall with /NOLOGON removes the logon entry; a library of the suite
  in use by another program stops an install with exit code 3, a Nystra
  that does not end one with exit code 5, nothing changed;
- the build's own installer (unsigned) over it gives the build's files;
- the uninstall, waited for, leaves the records, the user's files and a
  file that was in the folder before the first install.
"""

import hashlib
import re
import shutil
from pathlib import Path

import pytest

from suite_e2e.env import windows_path

PROBE_CODES = {"32": "11111111-0000-4000-8000-000000000032", "64": "11111111-0000-4000-8000-000000000064"}
RULES = """owner Administrators
nothing inherited from above
allow Administrators: full control, can change, files and folders in it too
allow SYSTEM: full control, can change, files and folders in it too
allow Users: read and execute, files and folders in it too"""
SDDL = "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
SAMPLES = ("left.ico", "right.ico", "single1.bmp", "single2.bmp", "double1.bmp", "double2.bmp")
LINKS = ("Cordane - touch panel settings", "Gorvat - touch panel calibration", "Nystra - touch panel interlock",
         "Palvine - one-shot mouse button", "Velmic - touch panel click settings", "User's guide")
PROBE_WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{code}" UpgradeCode="{upgrade}" Name="Touch panel suite" Version="{version}" Language="1033" \
Manufacturer="Orlinde">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"/>
    <MediaTemplate EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProbeFolder" Name="msi-probe">
        <Component Id="Probe" Guid="{code}"><File Id="probe" Name="probe.txt" Source="probe.txt" KeyPath="yes"/>\
</Component>
      </Directory>
    </Directory>
    <Feature Id="Probe" Level="1"><ComponentRef Id="Probe"/></Feature>
  </Product>
</Wix>
"""


def fingerprint(suite, folder):
    """Every file of the folder with its SHA-256."""
    return {name: hashlib.sha256((folder / name).read_bytes()).hexdigest() for name in suite.files(folder)}


def make_installers(suite):
    """N-1 and N made from the stage, signed with a certificate of this test;
    (old setup, new setup, certificate, old stage, new stage)."""
    work, config = suite.work, suite.config
    key, cert, pfx = work / "key.pem", work / "cert.pem", work / "cert.pfx"
    made = suite.host("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                      "-days", "2", "-subj", "/CN=Touch panel suite test signing")
    assert made.returncode == 0, "openssl could not make a certificate"
    assert suite.host("openssl", "pkcs12", "-export", "-out", pfx, "-inkey", key, "-in", cert,
                "-passout", "pass:throwaway").returncode == 0, "openssl could not make the PFX"
    old, new = work / "old", work / "new"
    shutil.copytree(suite.stage, old, symlinks=True)
    shutil.copytree(suite.stage, new, symlinks=True)
    # N-1: the same programs, each file marked (bytes after its end, which
    # Windows does not read), under a lower version.
    for name in suite.files(old):
        if name.endswith((".exe", ".DLL")):
            with open(old / name, "ab") as file:
                file.write(b"N-1")
    environ = {**suite.e2e.env.environ, "SUITE_SIGN_PFX": str(pfx), "SUITE_SIGN_PASSWORD": "throwaway"}
    setups = {}
    for name, stage, version in (("N-1", old, "0.9.0"), ("N", new, suite.version)):
        setups[name] = work / f"{'old' if name == 'N-1' else 'new'}-setup.exe"
        made = suite.host(suite.REPO / "installer" / "make-installer.sh", *config["installer_args"], "--stage", stage,
                          "--out", setups[name], "--version", version, env=environ)
        assert made.returncode == 0, \
            f"make-installer.sh could not make the {name} installer:\n{made.stdout}{made.stderr}"
    binaries = [name for name in suite.files(new) if name.endswith((".exe", ".DLL"))]
    suite.verify(cert, setups["N-1"], setups["N"], *(new / name for name in binaries))
    print(f"ok   both installers and the {len(binaries)} programs and libraries of N are signed and verify")
    return setups["N-1"], setups["N"], cert, old, new


def upgrade_codes(shipped_nsh):
    """The packages' UpgradeCodes as the setup program has them: {bits: code}."""
    codes = dict(re.findall(r'^!define MSI_UPGRADE_CODE_(\d+) "(.*)"$', shipped_nsh.read_text(), re.M))
    assert len(codes) == 2, f"no UpgradeCodes in {shipped_nsh}: {codes}"
    return codes


def refused_beside_package(suite, new_setup):
    """A package under the suite's UpgradeCode (of either bitness) stands for it."""
    for bits, upgrade in sorted(upgrade_codes(Path(suite.config["shipped"])).items()):
        code = PROBE_CODES[bits]
        probe = suite.work / f"probe{bits}"
        probe.mkdir()
        (probe / "probe.txt").write_text("probe\n")
        (probe / "probe.wxs").write_text(PROBE_WXS.format(code=code, upgrade=upgrade, version=suite.version))
        made = suite.host("wixl", "-o", "probe.msi", "probe.wxs", cwd=probe)
        assert made.returncode == 0, f"no stand-in package ({bits}-bit): {made.stderr}"
        suite.msiexec(0, "/i", windows_path(probe / "probe.msi"), "/qn", "ROOTDRIVE=C:\\")
        status = suite.setup(new_setup, "/S")
        assert status == 9, f"the setup over the {bits}-bit package's suite ended with status {status}, not 9"
        assert not suite.folder.exists() and suite.reg(suite.view, suite.SETUP_ENTRY, "DisplayName") is None, \
            f"the setup installed beside the {bits}-bit package's suite"
        suite.msiexec(0, "/x", f"{{{code}}}", "/qn")
    print("ok   the suite installed by the package (either bitness): exit code 9, nothing installed")


def test_install_upgrade_uninstall(suite, e2e):
    folder, view, other = suite.folder, suite.view, suite.other
    suite.product_codes = [f"{{{code}}}" for code in PROBE_CODES.values()]
    suite.cleanup()
    old_setup, new_setup, cert, old, new = make_installers(suite)
    refused_beside_package(suite, new_setup)

    # --- N-1 installed, Nystra running with an active panel
    e2e.registry.write(32, suite.RECORD, ("NAME", "REG_SZ", "Line A"), ("TOUCH_OP", "REG_DWORD", 1))
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    # The folder is there already, with a file that is not the suite's.
    folder.mkdir(parents=True)
    (folder / "foreign.dat").write_text("another program's data\n")
    status = suite.setup(old_setup, "/S", "/LOGON")
    assert status == 0, f"the N-1 install ended with status {status}"
    suite.wait_reg(view, suite.SETUP_ENTRY, "DisplayVersion", ("REG_SZ", "0.9.0"))
    for name in suite.files(old):
        assert suite.same_file(old / name, folder / name), f"{name} is not N-1's"
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    # The rules as the system reads them: by well-known SID, nothing from above.
    status, rules = suite.helper("rules")
    assert status == 0, f"the access rules do not parse: {rules}"
    assert rules == RULES, f"the access rules read as: {rules}"
    _, sddl = suite.helper("sddl", suite.win_folder)
    if sddl == SDDL:
        print(f"ok   the program folder's access rules read back: {sddl}")
    else:
        # Wine keeps no access rules on suite.files: it makes a descriptor up from
        # the Unix permissions. What can be checked is that the rules are
        # accepted by the system as they are applied.
        print(f"note the program folder's access rules read back as [{sddl}] (not kept by this system)")
        status, out = suite.helper("protect", suite.win_folder, "--tree")
        assert status == 0, f"the access rules are refused: {out}"

    e2e.launch(folder / "Nystra.exe")
    e2e.wait_for_window(suite.INTERLOCK, timeout=15)
    e2e.driver.wait({"driver": {"startup": 0}})
    e2e.driver.touch(0)
    e2e.driver.wait({"panels": [{"pointdata": 1}, {"pointdata": 0}]})
    e2e.driver.release(0)
    # Another program of the suite open: the upgrade closes it as its close box would.
    e2e.launch(folder / "Velmic.exe")
    e2e.wait_for_window(suite.VELMIC_START, timeout=15)
    print("ok   N-1 installed; Nystra runs with panel 0 active, Velmic is open")

    # The other edition's entries (32-bit over 64-bit, or back) as an earlier
    # install of it would have left them: the upgrade takes them over.
    e2e.registry.write(other, suite.SETUP_ENTRY, ("DisplayName", "REG_SZ", "Touch panel suite"),
                       ("DisplayVersion", "REG_SZ", "0.8.0"))
    e2e.registry.write(other, suite.RUN_KEY, ("Nystra", "REG_SZ", suite.installed("Nystra.exe")))
    # A damaged install: a program missing, the logon entry pointing elsewhere.
    (folder / "Gorvat.exe").unlink()
    e2e.registry.write(view, suite.RUN_KEY, ("Nystra", "REG_SZ", "D:\\Old\\Nystra.exe"))

    # --- silent upgrade to N while Nystra runs
    status = suite.setup(new_setup, "/S")
    assert status == 0, f"the upgrade ended with status {status}"
    suite.wait_reg(view, suite.SETUP_ENTRY, "DisplayVersion", ("REG_SZ", suite.version))
    for name in suite.files(new):
        assert suite.same_file(new / name, folder / name), f"{name} is not N's after the upgrade"
    suite.verify(cert, *sorted(folder.glob("*.exe")), *sorted(folder.glob("*.DLL")))
    assert suite.reg(other, suite.SETUP_ENTRY, "DisplayName") is None, "a second entry in the other registry view"
    assert suite.reg(other, suite.RUN_KEY, "Nystra") is None, "the other edition's logon entry stays"
    expected = {"DisplayIcon": ("REG_SZ", suite.installed("Cordane.exe") + ",0"), "Publisher": ("REG_SZ", "Orlinde"),
                "HelpLink": ("REG_SZ", suite.installed("guide\\index.html")),
                "VersionMajor": ("REG_DWORD", int(suite.version.split(".")[0]))}
    for name, value in expected.items():
        got = suite.reg(view, suite.SETUP_ENTRY, name)
        assert got == value, f"no {name}: {got}"
    # The pictures the programs load from their folder, the guide, the shortcuts
    # (started in the program folder, named for what each program does).
    for picture in SAMPLES:
        assert suite.same_file(folder / "samples" / picture, folder / picture), \
            f"the sample {picture} is not in the folder"
    guide = folder / "guide" / "index.html"
    assert guide.is_file() and guide.stat().st_size > 0, "the user's guide is not installed"
    menu = sorted(p.name for p in suite.menu.iterdir()) if suite.menu.is_dir() else []
    for link in LINKS:
        assert f"{link}.lnk" in menu, f"no Start-menu entry '{link}': {menu}"
    texts = suite.host("strings", "-el", suite.menu / "Velmic - touch panel click settings.lnk").stdout.split("\n")
    assert suite.win_folder in texts, f"Velmic's Start-menu entry does not start in the program folder: {texts}"
    if suite.bits == 64:
        for dll in ("TAVLO.DLL", "BRIMOL.DLL"):
            assert "pei-i386" in suite.host(suite.config["objdump"], "-f", folder / "x86" / dll).stdout, \
                f"x86\\{dll} is not a 32-bit DLL"
        suite.verify(cert, *sorted((folder / "x86").glob("*.DLL")))
    else:
        assert not (folder / "x86").exists(), "the 32-bit install has an x86 subfolder"
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    assert suite.count("Velmic.exe") == 0, "Velmic still runs after the upgrade"
    restarted_or_why(suite)
    e2e.wait_for_window(suite.INTERLOCK, timeout=15)
    # Started through the desktop's shell, so with the user's rights and not
    # the setup's: its parent is Explorer.
    status, parent = suite.helper("parent", suite.installed("Nystra.exe"))
    assert status == 0, f"cannot tell what started Nystra: {parent}"
    assert parent.lower() == "explorer.exe", f"Nystra was started again by {parent}, not by the desktop's shell"
    assert suite.reg(32, suite.RECORD, "NAME") == ("REG_SZ", "Line A"), "the panel record changed in the upgrade"
    e2e.driver.wait({"driver": {"startup": 0}, "panels": [{"pointdata": 0}, {"pointdata": 0}]})
    e2e.driver.touch(0)
    e2e.driver.wait({"panels": [{"pointdata": 1}, {"pointdata": 0}]})
    e2e.driver.release(0)
    print(f"ok   upgraded to {suite.version}: files of N, Velmic closed, Nystra ended and started again, "
          "the interlock answers, one entry")

    # --- the logon choice sticks, and can be taken back
    (folder / "right.ico").write_text("the user's own picture\n")
    status = suite.setup(new_setup, "/S", "/NOLOGON")
    assert status == 0, f"the reinstall with /NOLOGON ended with status {status}"
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", None, 10, "/NOLOGON leaves the logon entry")
    status = suite.setup(new_setup, "/S")
    assert status == 0, f"the plain reinstall ended with status {status}"
    assert suite.reg(view, suite.RUN_KEY, "Nystra") is None, "a plain reinstall brings the logon entry back"
    assert (folder / "right.ico").read_text() == "the user's own picture\n", \
        "a reinstall replaced the user's own picture"
    print("ok   /NOLOGON removes the logon entry, a plain reinstall keeps that choice and the user's picture")

    library_in_use(suite, old_setup, new_setup, new)
    nystra_that_does_not_end(suite, old_setup, new_setup, new)

    # --- the build's own installer
    status = suite.setup(suite.config["setup"], "/S")
    assert status == 0, f"the build's installer ended with status {status}"
    for name in suite.files(suite.stage):
        assert suite.same_file(suite.stage / name, folder / name), f"{name} is not the build's"
    suite.wait_running("Nystra.exe", 30, "Nystra does not run again after the build's installer")
    print("ok   the build's own installer: the build's files, Nystra runs again")

    uninstall(suite)


def restarted_or_why(suite):
    """Nystra runs again after the upgrade; when not, the failure says
    whether a start through the desktop's shell works now (the setup's own
    restart then did not happen, or that Nystra ended at once) or not."""
    try:
        suite.e2e.wait("process.count", {"count": 1}, 30, image="Nystra.exe")
        return
    except Exception as error:
        waited = error
    status, out = suite.helper("start-as-user", suite.installed("Nystra.exe"))
    try:
        suite.e2e.wait("process.count", {"count": 1}, 30, image="Nystra.exe")
        now = "runs"
    except Exception:
        now = "does not run either"
    pytest.fail(f"Nystra does not run again after the upgrade: {waited}\n(started by the test through the desktop's "
                f"shell afterwards: status {status} {out!r}; Nystra then {now}; the driver's log is kept)")


def library_in_use(suite, old_setup, new_setup, new):
    """A library in use by another program: exit 3, nothing changed."""
    e2e, folder = suite.e2e, suite.folder
    operator = suite.work / "operator"
    operator.mkdir()
    shutil.copy2(folder / "tavloctl.exe", operator / "tavloctl.exe")
    # An operator program that loads TAVLO.DLL from the program folder.
    e2e.env.environ["WINEPATH"] = suite.win_folder
    try:
        e2e.launch(operator / "tavloctl.exe", "watch", "--seconds", "60", output=suite.work / "operator.log")
    finally:
        del e2e.env.environ["WINEPATH"]
    suite.wait_running("tavloctl.exe", 15, "the operator program did not start")
    status = suite.setup(old_setup, "/S")
    if status == 3:
        for name in suite.files(new):
            assert suite.same_file(new / name, folder / name), f"{name} changed by a refused install"
        suite.wait_running("Nystra.exe", 30, "Nystra was not started again after the refused install")
        print("ok   TAVLO.DLL in use: exit code 3, every file still N's, Nystra runs again")
    else:
        # Windows refuses to write a loaded DLL; Wine may let it be replaced.
        assert status == 0, f"the install over a library in use ended with status {status}"
        print("note this system lets a loaded DLL be replaced: the in-use refusal cannot be shown here")
        status = suite.setup(new_setup, "/S")
        assert status == 0, f"reinstalling N ended with status {status}"
    e2e.end_program("tavloctl.exe")


def nystra_that_does_not_end(suite, old_setup, new_setup, new):
    """A Nystra that does not end: exit 5 after 10 s, nothing changed."""
    e2e, folder = suite.e2e, suite.folder
    status, out = suite.helper("close", suite.win_folder, "10", "--end-session", "Nystra.exe")
    assert status == 0, f"Nystra did not end for the test: {out}"
    # A program under Nystra's name that answers no request (a console program).
    shutil.copy2(folder / "tavloctl.exe", folder / "Nystra.exe")
    e2e.launch(folder / "Nystra.exe", "watch", "--seconds", "60", output=suite.work / "hung.log")
    suite.wait_running("Nystra.exe", 15, "the Nystra that does not answer did not start")
    before = fingerprint(suite, folder)
    status = suite.setup(old_setup, "/S")
    assert status == 5, f"an install over a Nystra that does not end ended with status {status}, not 5"
    assert fingerprint(suite, folder) == before, "the folder changed"
    e2e.end_program("Nystra.exe")
    status = suite.setup(new_setup, "/S")
    assert status == 0, f"reinstalling N ended with status {status}"
    assert suite.same_file(new / "Nystra.exe", folder / "Nystra.exe"), "Nystra.exe is not N's again"
    print("ok   a Nystra that does not end: exit code 5, nothing changed")
    e2e.launch(folder / "Nystra.exe")
    e2e.wait_for_window(suite.INTERLOCK, timeout=15)


def uninstall(suite):
    """The uninstall, waited for."""
    e2e, folder, view = suite.e2e, suite.folder, suite.view
    (folder / "notes.txt").write_text("the user's note\n")
    suite.wait_running("Nystra.exe", 30, "Nystra does not run before the uninstall")
    status = suite.setup(suite.installed("Uninstall.exe"), "/S", f"_?={suite.win_folder}")
    assert status == 0, f"the uninstall ended with status {status}"
    # No waiting from here on: the uninstall has ended.
    left = suite.listing(folder)
    if left == "Uninstall.exe foreign.dat notes.txt right.ico":
        # A running program cannot move itself out of the folder on every
        # system: then it must be set to go at the next start of Windows.
        # (reg's own listing: the value's pairs hold empty strings, which a
        # plain list of strings would end at.)
        done = suite.run(f"{suite.SYSTEM}\\reg.exe", "query", suite.PENDING_KEY, "/v", "PendingFileRenameOperations",
                         timeout=60)
        pending = done["stdout"] + done["stderr"]
        wanted = f"{suite.vendor}\\{folder.name}\\Uninstall.exe".lower()
        assert wanted in pending.lower(), f"Uninstall.exe stays and is not set to go at the next start: {pending}"
        print("note the uninstaller could not move itself away here; it goes at the next start")
        suite.delete_value((64, suite.PENDING_KEY, "PendingFileRenameOperations"))
    else:
        assert left == "foreign.dat notes.txt right.ico", f"left in the folder: {left}"
    assert not suite.menu.exists(), f"the Start-menu folder stays: {sorted(p.name for p in suite.menu.iterdir())}"
    assert suite.reg(view, suite.SETUP_ENTRY, "DisplayName") is None, "the program list entry stays"
    assert suite.reg(view, suite.RUN_KEY, "Nystra") is None, "Nystra still starts at logon"
    assert suite.count("Nystra.exe") == 0, "Nystra still runs after the uninstall"
    state = e2e.driver.state()
    pointdata = [panel["pointdata"] for panel in state["panels"]]
    assert pointdata == [1, 1] and state["driver"]["startup"] == 1, \
        f"Nystra did not end as at its normal end: pointdata {pointdata}, start-up mode {state['driver']['startup']}"
    assert suite.reg(32, suite.RECORD, "NAME") == ("REG_SZ", "Line A"), "the panel record is gone"
    assert suite.reg(32, suite.RECORD, "TOUCH_OP") == ("REG_DWORD", 1), "the panel record changed"
    print("ok   uninstalled and waited for: the records and the user's files stay, Nystra ended cleanly")
