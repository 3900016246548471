"""Shared steps of the installers' scenarios: the setup program and the
Windows Installer package under Wine, the suite's fixed folder, the list of
installed programs and the logon entry. What the build made the installers
from (stage, version, the installers, the setup helper) is in
<build>/installer/installer_e2e.json, written by installer/CMakeLists.txt.

Every Windows program of a step (setup, msiexec, reg, the setup helper)
runs inside the session through the agent; files are compared on the host.
"""

import filecmp
import json
import re
import shutil
import subprocess
from pathlib import Path

import pytest

from suite_e2e import suite_ids
from suite_e2e.env import windows_path

REPO = Path(__file__).resolve().parents[3]
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
SETUP_ENTRY = UNINSTALL_KEY + "\\TouchPanelSuite"
RUN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
RECORD = "HKLM\\Software\\ZR_EX_CONTROL\\ID17"
PENDING_KEY = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"
SUITE_NAME = "Touch panel suite"  # the list of installed programs, the Start-menu folder
INTERLOCK = "Interlock Control"  # Nystra's caption
VELMIC_START = "Touch panel settings  -  Information"  # Velmic's first window, made in every case
SYSTEM = "C:\\windows\\system32"


def files(root):
    """The files under root, as sorted relative paths with /."""
    root = Path(root)
    if not root.is_dir():
        return []
    return sorted(str(p.relative_to(root)) for p in root.rglob("*") if p.is_file() or p.is_symlink())


def listing(root):
    return " ".join(files(root))


def same_file(a, b):
    return Path(a).is_file() and Path(b).is_file() and filecmp.cmp(a, b, shallow=False)


def host(*command, **kwargs):
    """A host tool; its result (output as text)."""
    return subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=300, **kwargs)


class Suite:
    """The installed suite as the scenarios see it, and the steps over it."""

    REPO, RECORD, RUN_KEY, SETUP_ENTRY, UNINSTALL_KEY = REPO, RECORD, RUN_KEY, SETUP_ENTRY, UNINSTALL_KEY
    PENDING_KEY, INTERLOCK, VELMIC_START, SUITE_NAME, SYSTEM = PENDING_KEY, INTERLOCK, VELMIC_START, SUITE_NAME, SYSTEM
    files, listing = staticmethod(files), staticmethod(listing)
    same_file, host = staticmethod(same_file), staticmethod(host)

    def __init__(self, e2e, work):
        self.e2e = e2e
        self.work = work
        config = e2e.env.win_bin.parent / "installer" / "installer_e2e.json"
        if not config.exists():
            pytest.fail(f"no {config}: the installers' scenarios run in a release build")
        self.config = json.loads(config.read_text())
        self.stage = Path(self.config["stage"])
        self.version = self.config["version"]
        self.helper_exe = Path(self.config["helper"])
        # The fixed folder, named once in installer/include/suite_install_folder.h.
        names = suite_ids()
        self.vendor = names.SUITE_VENDOR_FOLDER_NAME
        self.drive_c = e2e.env.root / "prefix" / "drive_c"
        self.folder = self.drive_c / self.vendor / names.SUITE_PROGRAM_FOLDER_NAME
        self.win_folder = names.SUITE_INSTALL_FOLDER
        self.view = e2e.view
        self.other = 64 if self.view == 32 else 32
        self.bits = 64 if e2e.env.arch == "x86_64" else 32
        self.product_codes = []  # packages a scenario may leave installed: removed at its end
        self.menu = self.drive_c / "ProgramData/Microsoft/Windows/Start Menu/Programs" / SUITE_NAME

    # --- programs inside the session

    def run(self, exe, *args, timeout=300):
        """A Windows program to its end inside the session: {status, stdout, stderr}."""
        return self.e2e.run(exe, *args, timeout=timeout)

    def setup(self, exe, *args):
        """A setup program (or the uninstaller) to its end; its exit code."""
        return self.run(exe, *args)["status"]

    def helper(self, *args):
        """The setup helper of the build: (status, its output without the last newline)."""
        done = self.run(self.helper_exe, *args, timeout=60)
        return done["status"], (done["stdout"] + done["stderr"]).rstrip("\n")

    def installed(self, name):
        return f"{self.win_folder}\\{name}"

    def count(self, image):
        return self.e2e.call("process.count", image=image)["count"]

    def wait_running(self, image, seconds, message):
        try:
            self.e2e.wait("process.count", {"count": 1}, seconds, image=image)
        except Exception as error:
            pytest.fail(f"{message}: {error}")

    def msiexec(self, want, *args):
        """msiexec with a verbose log; fails unless its code is `want`
        (Windows Installer's code: 0, 1603 ...), showing the log's end."""
        log = self.work / f"msiexec-{len(list(self.work.glob('msiexec-*.log')))}.log"
        done = self.run(f"{SYSTEM}\\msiexec.exe", *args, "/l*v", windows_path(log), timeout=300)
        if done["status"] != want:
            tail = ""
            if log.exists():
                text = log.read_bytes().decode("utf-16" if log.read_bytes()[:2] == b"\xff\xfe" else "latin-1",
                                               "replace")
                tail = "; its log ends:\n" + "\n".join(text.replace("\r", "").replace("\0", "").split("\n")[-15:])
            pytest.fail(f"msiexec {' '.join(args)} ended with status {done['status']}, not {want}{tail}")

    # --- registry

    def reg(self, view, key, name):
        return self.e2e.registry.read(view, key, name)

    def wait_reg(self, view, key, name, value, seconds=5, message=None):
        try:
            self.e2e.registry.wait(view, key, name, value, timeout=seconds)
        except Exception as error:
            pytest.fail(f"{message or f'{key} {name} is not {value}'}: {error}")

    def logon_entry(self):
        """The Run value that starts Nystra at logon, as the installers write it."""
        return ("REG_SZ", f'"{self.installed("Nystra.exe")}"')

    def delete_value(self, *views_keys_names):
        """Deletes values (view, key, name) with the system's reg tool, in one request;
        a missing value is fine."""
        self.e2e.batch(*[("process.run", {"exe": f"{SYSTEM}\\reg.exe",
                                          "args": ["delete", key, "/v", name, "/f", f"/reg:{view}"],
                                          "timeout_ms": 60000}) for view, key, name in views_keys_names])

    def entries(self):
        """The suite's entries in the list of installed programs in both views,
        as "VIEW KEY VERSION" joined by ';' (sorted)."""
        results = self.e2e.batch(*[("process.run", {"exe": f"{SYSTEM}\\reg.exe",
                                                     "args": ["query", UNINSTALL_KEY, "/s", f"/reg:{v}"],
                                                     "timeout_ms": 60000}) for v in (32, 64)])
        found = set()
        for view, result in zip((32, 64), results):
            for block in re.split(r"\n(?=HKEY)", result["stdout"]):
                head, _, body = block.partition("\n")
                name = re.search(r"^\s+DisplayName\s+REG_SZ\s+(.*)$", body, re.M)
                version = re.search(r"^\s+DisplayVersion\s+REG_SZ\s+(\S*)", body, re.M)
                if head.startswith("HKEY") and name and name.group(1).strip() == SUITE_NAME:
                    found.add(f"{view} {head.strip().rsplit(chr(92), 1)[-1]} {version.group(1) if version else ''}")
        return ";".join(sorted(found))

    # --- signatures

    def verify(self, cert, *paths):
        for path in paths:
            done = host("osslsigncode", "verify", "-CAfile", cert, "-in", path)
            out = done.stdout + done.stderr
            assert done.returncode == 0, f"the signature of {Path(path).name} does not verify: {out}"
            assert "Signature verification: ok" in out, f"{Path(path).name}: {out}"

    # --- before and after every scenario

    def cleanup(self):
        """Neither the other tests of this session nor the next run may find
        the suite installed or running, whatever step failed."""
        e2e = self.e2e
        if not e2e.agent.alive():
            e2e.ensure_agent()
        self.helper("close", self.win_folder, "10", "--end-session", "Nystra.exe")
        self.helper("close", self.win_folder, "10", "Velmic.exe", "Gorvat.exe", "Palvine.exe", "Cordane.exe",
                    "tavloctl.exe")
        e2e.end_program()
        for code in self.product_codes:
            self.run(f"{SYSTEM}\\msiexec.exe", "/x", code, "/qn")
        shutil.rmtree(self.drive_c / self.vendor, ignore_errors=True)
        shutil.rmtree(self.drive_c / "msi-probe", ignore_errors=True)
        shutil.rmtree(self.drive_c / "elsewhere", ignore_errors=True)
        for menu in self.menu_dirs():
            shutil.rmtree(menu, ignore_errors=True)
        self.delete_value((32, RUN_KEY, "Nystra"), (64, RUN_KEY, "Nystra"))
        e2e.registry.delete(32, SETUP_ENTRY)
        e2e.registry.delete(64, SETUP_ENTRY)

    def menu_dirs(self):
        """The Start-menu folders of the suite: Wine's msiexec puts a
        per-machine package's into the installing user's Start menu
        (Windows: the common one, where the setup program puts its own)."""
        found = [self.menu] if self.menu.is_dir() else []
        users = self.drive_c / "users"
        if users.is_dir():
            for user in sorted(users.iterdir()):
                menu = user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs" / SUITE_NAME
                if menu.is_dir():
                    found.append(menu)
        return found

    def describe(self):
        """What a failed scenario leaves besides the plugin's artifacts."""
        lines = ["program folder:", *files(self.folder), "", "Start menu:"]
        for menu in self.menu_dirs():
            lines += [f"  {menu}:", *(f"    {name}" for name in sorted(p.name for p in menu.iterdir()))]
        try:
            lines += ["", f"Installed programs: {self.entries()}"]
        except Exception as error:  # the description must not hide the failure
            lines += ["", f"Installed programs: cannot read: {error}"]
        return "\n".join(lines) + "\n"


@pytest.fixture
def suite(e2e, tmp_path, request):
    """The suite neither installed nor running before and after the scenario;
    a failed scenario keeps the program folder's listing as install-state.txt."""
    installation = Suite(e2e, tmp_path)
    installation.cleanup()
    yield installation
    if getattr(request.node, "_e2e_failed", False):
        e2e.test_logs.mkdir(parents=True, exist_ok=True)
        (e2e.test_logs / "install-state.txt").write_text(installation.describe())
    installation.cleanup()
