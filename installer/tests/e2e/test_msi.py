"""The Windows Installer package under Wine's msiexec, silent throughout:
refused beside the setup program's suite and with a bad LOGON value;
installed as a lower version made here (in the fixed folder whatever the
command line asks), upgraded to this build's package (files, Start menu,
Installed-apps entry, Nystra at logon kept with an empty LOGON), the
programs running from the folder, repaired after a deleted file, LOGON=0
and 1 on a reinstall, a running Nystra ended before its file is replaced in
a reinstall and in an upgrade (when the build's Nystra has /stop), removed
with the user's file and the panel records left; a downgrade refused; the
other bitness's package replaced; LOGON=0 in an upgrade. The sample
pictures are in samples\\ and, copied, in the folder itself, where a
picture of the integrator's is never replaced, by a repair or an upgrade,
nor removed.
"""

import re
import shutil
from pathlib import Path

from suite_e2e.env import windows_path

OLD_VERSION = "0.0.1"


def product_code(suite, msi):
    out = suite.host("msiinfo", "export", msi, "Property").stdout.replace("\r", "")
    found = re.search(r"^ProductCode\t(.*)$", out, re.M)
    return found.group(1) if found else ""


def make_package(suite, stage, version, bits, output):
    """A package of the stage's files (the build's generator and builder)."""
    msi_dir = suite.REPO / "installer" / "msi"
    manifest, wxs = suite.work / "manifest.txt", suite.work / "package.wxs"
    manifest.write_text("".join(f"{stage / name}\n" for name in suite.files(stage)))
    made = suite.host(suite.config["cmake"], f"-DMANIFEST={manifest}", f"-DSTAGE={stage}", f"-DBITS={bits}",
                      f"-DVERSION={version}", f"-DPROGRAMS={suite.config['programs']}", "-DCOPIES=samples",
                      f"-DSTOP_NYSTRA={suite.config['stop_nystra']}", f"-DTEMPLATE={msi_dir / 'suite.wxs.in'}",
                      f"-DWXS={wxs}", "-P", msi_dir / "make-msi-source.cmake")
    assert made.returncode == 0, f"no package source for {version} ({bits}-bit): {made.stdout}{made.stderr}"
    made = suite.host(msi_dir / "build-msi.sh", wxs, stage, bits, output)
    assert made.returncode == 0, f"no package for {version} ({bits}-bit): {made.stdout}{made.stderr}"


class Package:
    """The steps of the scenario over the folder, the Start menu and the list
    of installed programs."""

    def __init__(self, suite):
        self.suite = suite
        self.samples = sorted(p.name for p in (suite.stage / "samples").iterdir())
        assert self.samples, f"no sample pictures in {suite.stage}/samples"
        # The entries the build's files make: (link name, file in the folder).
        self.shortcuts = []
        for entry in suite.config["programs"].split(","):
            target, name = entry.split("=", 1)
            target = target if "." in target else f"{target}.exe"
            if (suite.stage / target).is_file():
                self.shortcuts.append((f"{name}.lnk", target))
        self.expected_links = ";".join(sorted(link for link, _ in self.shortcuts))

    def same_files(self, source):
        """The folder holds exactly the source's files, byte for byte, and the samples' copies."""
        suite, folder = self.suite, self.suite.folder
        expected = " ".join(sorted(suite.files(source) + self.samples))
        assert suite.listing(folder) == expected, f"the folder has {suite.listing(folder)}, not {expected}"
        for name in suite.files(source):
            assert suite.same_file(source / name, folder / name), f"{name} is not the one of {source}"
        for name in self.samples:
            assert suite.same_file(source / "samples" / name, folder / name), f"{name} is not the sample"

    def only_samples(self):
        return " ".join(sorted(self.samples))

    def links(self):
        return ";".join(sorted(p.name for menu in self.suite.menu_dirs() for p in menu.iterdir()))

    def expect_entries(self, want, when):
        got = self.suite.entries()
        assert got == want, f"Installed apps {when}: {got}"


def test_package(suite, e2e, tmp_path):
    view, other_view = suite.view, suite.other
    bits, other_bits = suite.bits, 96 - suite.bits
    msi, version, stage, folder = Path(suite.config["msi"]), suite.version, suite.stage, suite.folder
    msi_path = windows_path(msi)
    package = Package(suite)

    # Packages made here from this build's files: a lower version, whose
    # TAVLO.DLL differs and which ships one more file; this version for the
    # other bitness.
    old = tmp_path / "old"
    shutil.copytree(stage, old, symlinks=True)
    with open(old / "TAVLO.DLL", "ab") as file:
        file.write(b"an older build\n")
    (old / "notes.txt").write_text("dropped in this version\n")
    old_msi, other_msi = tmp_path / "old.msi", tmp_path / "other.msi"
    make_package(suite, old, OLD_VERSION, bits, old_msi)
    make_package(suite, stage, version, other_bits, other_msi)
    new_code, old_code, other_code = (product_code(suite, package) for package in (msi, old_msi, other_msi))
    assert new_code and new_code not in (old_code, other_code), \
        f"product codes: {new_code} (this), {old_code} (lower version), {other_code} (other bitness)"
    suite.product_codes = [new_code, old_code, other_code]
    suite.cleanup()

    assert ("Gorvat - touch panel calibration.lnk", "Gorvat.exe") in package.shortcuts and \
        ("User's guide.lnk", "guide/index.html") in package.shortcuts, \
        f"the Start-menu entries are not named as the setup program's: {package.shortcuts}"
    e2e.registry.write(32, suite.RECORD, ("NAME", "REG_SZ", "Line A"), ("TOUCH_OP", "REG_DWORD", 1))

    print("refused: the setup program's suite installed, LOGON neither 0 nor 1")
    for v in (32, 64):
        e2e.registry.write(v, suite.SETUP_ENTRY, ("UninstallString", "REG_SZ", f'"{suite.installed("Uninstall.exe")}"'))
        suite.msiexec(1603, "/i", msi_path, "/qn")
        assert not folder.exists(), f"installed beside the setup program's suite ({v}-bit entry)"
        e2e.registry.delete(v, suite.SETUP_ENTRY)
    for value in ("yes", "2"):
        suite.msiexec(1603, "/i", msi_path, "/qn", f"LOGON={value}")
        assert not folder.exists() and suite.entries() == "", f"installed with LOGON={value}"

    print(f"install {OLD_VERSION} with LOGON=1 (and folders asked for elsewhere), "
          f"upgrade to {version} with LOGON empty")
    suite.msiexec(0, "/i", windows_path(old_msi), "/qn", "LOGON=1", "TARGETDIR=C:\\elsewhere\\", "ROOTDRIVE=D:\\",
                  "OrlindeFolder=C:\\elsewhere\\", "ProgramFolder=C:\\elsewhere\\Dravik\\")
    assert not (suite.drive_c / "elsewhere").exists(), "the command line moved the program folder"
    package.same_files(old)
    package.expect_entries(f"{view} {old_code} {OLD_VERSION}", f"after {OLD_VERSION}")
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    # An empty value is no value: Nystra at logon stays as it was.
    suite.msiexec(0, "/i", msi_path, "/qn", "LOGON=")
    package.same_files(stage)
    package.expect_entries(f"{view} {new_code} {version}", "after the upgrade")
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    assert package.links() == package.expected_links, f"Start menu: {package.links()}, not {package.expected_links}"
    help_link = suite.reg(view, f"{suite.UNINSTALL_KEY}\\{new_code}", "HelpLink")
    assert help_link == ("REG_SZ", suite.installed("guide\\index.html")), \
        f"the Installed-apps entry's help link is not the guide: {help_link}"
    for menu in suite.menu_dirs():
        for link, target in package.shortcuts:
            if (menu / link).is_file():
                assert f"{folder.name}\\{target.replace('/', chr(92))}".encode() in (menu / link).read_bytes(), \
                    f"{link} does not point to {suite.installed(target)}"

    print("the installed programs run from the program folder")
    e2e.driver.attach(0x11)
    e2e.driver.attach(0x22)
    panels = suite.run(suite.installed("tavloctl.exe"), "list", timeout=60)
    assert panels["status"] == 0, f"installed tavloctl list failed: {panels}"
    assert re.search(r"^ *1 +34 ", panels["stdout"], re.M), \
        f"installed tavloctl does not list the panel with identifier 34: {panels['stdout']}"

    print("repair after a deleted file")
    (folder / "Gorvat.exe").unlink()
    # Wine's msiexec has no /f with a product code; the property form is
    # Windows' own too (msiexec /fomus does the same).
    suite.msiexec(0, "/i", msi_path, "/qn", "REINSTALL=ALL", "REINSTALLMODE=omus")
    package.same_files(stage)
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())

    print("LOGON=0 and LOGON=1 on a reinstall of the same version")
    suite.msiexec(0, "/i", msi_path, "/qn", "LOGON=0", "REINSTALL=ALL", "REINSTALLMODE=omus")
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", None, 10, "Nystra still starts at logon after LOGON=0")
    suite.msiexec(0, "/i", msi_path, "/qn", "LOGON=1", "REINSTALL=ALL", "REINSTALLMODE=omus")
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())

    if suite.config["stop_nystra"] == "ON":
        print("a running Nystra is ended as at its normal end before its file is replaced")
        start_nystra(suite, "the installed Nystra shows no window")
        suite.msiexec(0, "/i", msi_path, "/qn", "REINSTALL=ALL", "REINSTALLMODE=amus")
        nystra_ended(suite, "Nystra still runs after the reinstall")
        package.same_files(stage)
        actions = suite.host("msiinfo", "export", msi, "CustomAction").stdout
        assert re.search(r"^StopNystra", actions, re.M), "the package has no StopNystra action"

        print("an upgrade while Nystra runs: Nystra is ended first, the files are the new ones")
        suite.msiexec(0, "/x", new_code, "/qn")
        suite.msiexec(0, "/i", windows_path(old_msi), "/qn")
        start_nystra(suite, f"the installed {OLD_VERSION} Nystra shows no window")
        suite.msiexec(0, "/i", msi_path, "/qn")
        nystra_ended(suite, "Nystra still runs after the upgrade")
        package.same_files(stage)
        package.expect_entries(f"{view} {new_code} {version}", "after the upgrade")
    else:
        print("(this build's Nystra has no /stop: the package does not end it)")

    print("a picture of the user's in place of a sample: kept by a repair; uninstall")
    (folder / "left.ico").write_text("user's icon\n")
    suite.msiexec(0, "/i", msi_path, "/qn", "REINSTALL=ALL", "REINSTALLMODE=amus")
    assert (folder / "left.ico").read_text() == "user's icon\n", "a repair replaced the user's left.ico"
    suite.msiexec(0, "/x", msi_path, "/qn")
    # The copies stay: the package cannot tell a sample from the user's picture.
    assert suite.listing(folder) == package.only_samples(), \
        f"after the uninstall the folder has: {suite.listing(folder)}"
    assert (folder / "left.ico").read_text() == "user's icon\n", "the uninstall changed the user's left.ico"
    assert package.links() == "" and not suite.menu_dirs(), \
        f"the Start menu keeps: {package.links()} in {suite.menu_dirs()}"
    package.expect_entries("", "after the uninstall")
    assert suite.reg(view, suite.RUN_KEY, "Nystra") is None, "Nystra still starts at logon"
    assert suite.reg(32, suite.RECORD, "NAME") == ("REG_SZ", "Line A"), "the panel record's NAME changed"
    assert suite.reg(32, suite.RECORD, "TOUCH_OP") == ("REG_DWORD", 1), "the panel record's TOUCH_OP changed"
    shutil.rmtree(suite.drive_c / suite.vendor)

    print("a downgrade is refused")
    suite.msiexec(0, "/i", msi_path, "/qn")
    suite.msiexec(1603, "/i", windows_path(old_msi), "/qn")
    package.same_files(stage)
    package.expect_entries(f"{view} {new_code} {version}", "after the refused downgrade")
    suite.msiexec(0, "/x", new_code, "/qn")
    # (An empty C:\Orlinde stays: a removal takes away only the folders it made
    # for its files; the folder stays with the samples' copies.)
    assert suite.entries() == "" and suite.listing(folder) == package.only_samples(), \
        f"not removed: {suite.entries()}, {suite.listing(folder)}"

    print(f"the {other_bits}-bit package with LOGON=1 replaced by this one")
    suite.msiexec(0, "/i", windows_path(other_msi), "/qn", "LOGON=1")
    package.expect_entries(f"{other_view} {other_code} {version}", f", {other_bits}-bit")
    suite.wait_reg(other_view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    suite.msiexec(0, "/i", msi_path, "/qn")
    package.expect_entries(f"{view} {new_code} {version}", f"after replacing the {other_bits}-bit one")
    package.same_files(stage)
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", suite.logon_entry())
    assert suite.reg(other_view, suite.RUN_KEY, "Nystra") is None, f"the {other_bits}-bit Run value stays"
    suite.msiexec(0, "/x", new_code, "/qn")

    print("LOGON=0 in an upgrade takes Nystra at logon away; the user's picture stays")
    suite.msiexec(0, "/i", windows_path(old_msi), "/qn", "LOGON=1")
    (folder / "right.ico").write_text("user's picture\n")
    suite.msiexec(0, "/i", msi_path, "/qn", "LOGON=0")
    assert (folder / "right.ico").read_text() == "user's picture\n", "the upgrade replaced the user's right.ico"
    shutil.copy2(stage / "samples" / "right.ico", folder / "right.ico")
    package.same_files(stage)
    suite.wait_reg(view, suite.RUN_KEY, "Nystra", None, 10, "Nystra still starts at logon after LOGON=0")
    suite.msiexec(0, "/x", new_code, "/qn")
    package.expect_entries("", "at the end")
    assert suite.reg(32, suite.RECORD, "NAME") == ("REG_SZ", "Line A"), "the panel record's NAME changed"
    print(f"msi: {msi.name} ({new_code}) installs, upgrades from {OLD_VERSION}, repairs, refuses a downgrade, "
          f"replaces the {other_bits}-bit package and uninstalls")


def start_nystra(suite, message):
    """The installed Nystra started, its window shown and the panels under its control."""
    e2e = suite.e2e
    e2e.launch(suite.folder / "Nystra.exe")
    try:
        e2e.wait_for_window(suite.INTERLOCK, timeout=15)
    except Exception as error:
        raise AssertionError(f"{message}: {error}") from error
    e2e.driver.wait({"driver": {"startup": 0}})


def nystra_ended(suite, message):
    """Nystra ended as at its normal end: every panel enabled, start-up mode 1."""
    e2e = suite.e2e
    try:
        e2e.call("process.ended", image="Nystra.exe", timeout_ms=15000)
    except Exception as error:
        raise AssertionError(f"{message}: {error}") from error
    e2e.driver.wait({"driver": {"startup": 1}, "panels": [{"pointdata": 1}, {"pointdata": 1}]})
