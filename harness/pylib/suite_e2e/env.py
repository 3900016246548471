"""Where the Wine session of this build tree is, and how to start programs in it.

Nothing here is found a second way: the loaders come from harness/wine-env.sh
(the one place that names them) and the session's display from the state file
`wine-harness.sh start` wrote.
"""

import os
import struct
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

HARNESS_DIR = Path(__file__).resolve().parents[2]
REPO = HARNESS_DIR.parent


@dataclass
class SessionEnv:
    root: Path  # SUITE_WINE_ROOT: prefix, session state, logs
    win64_bin: Path  # the x86_64 build: driver, agent, probe
    win_bin: Path  # the build under test
    arch: str  # i686 or x86_64
    wine64: str
    wine32: str
    wineserver: str
    environ: dict = field(default_factory=dict)  # for every Wine program
    _can_run_32bit: bool = None

    @property
    def logs(self) -> Path:
        return self.root / "logs"

    def loader(self, exe) -> str:
        """The loader for a PE file: 64-bit programs with wine64, others with wine."""
        return self.wine64 if pe_is_64bit(exe) else self.wine32

    def can_run_32bit(self) -> bool:
        """Whether Wine's 32-bit loader runs on this machine (asked once)."""
        if self._can_run_32bit is None:
            try:
                done = subprocess.run([self.wine32, "--version"], capture_output=True, timeout=60)
                self._can_run_32bit = done.returncode == 0
            except OSError:
                self._can_run_32bit = False
        return self._can_run_32bit


def pe_is_64bit(exe) -> bool:
    with open(exe, "rb") as file:
        header = file.read(4096)
    if header[:2] != b"MZ":
        raise ValueError(f"{exe} is no Windows program")
    (offset,) = struct.unpack_from("<I", header, 0x3C)
    (machine,) = struct.unpack_from("<H", header, offset + 4)
    return machine == 0x8664


def windows_path(path) -> str:
    """A host path as Wine's Z: drive shows it."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def _wine_programs():
    out = subprocess.run(
        ["bash", "-c", '. "$1"; printf "%s\\n" "$SUITE_WINE64" "$SUITE_WINE32" "$SUITE_WINESERVER"', "_",
         str(HARNESS_DIR / "wine-env.sh")],
        capture_output=True, text=True, check=True).stdout.split("\n")
    return out[0], out[1], out[2]


def _session_state(root: Path) -> dict:
    """The variables `wine-harness.sh start` wrote (DISPLAY, XVFB_PID, ...)."""
    values = {}
    state = root / "session.env"
    if state.exists():
        for line in state.read_text().splitlines():
            line = line.strip()
            if line.startswith("export "):
                line = line[len("export "):]
            name, _, value = line.partition("=")
            if name:
                values[name] = value
    return values


def load() -> SessionEnv:
    root = Path(os.environ.get("SUITE_WINE_ROOT", REPO / "build" / "wine"))
    win64_bin = Path(os.environ.get("SUITE_WIN64_BIN", REPO / "build" / "win64" / "bin"))
    win_bin = Path(os.environ.get("WIN_BIN", win64_bin))
    arch = os.environ.get("SUITE_ARCH", "x86_64")
    wine64, wine32, wineserver = _wine_programs()
    state = _session_state(root)
    environ = dict(os.environ)
    environ.update({
        "WINEPREFIX": str(root / "prefix"),
        "WINEARCH": "win64",
        "WINEDEBUG": os.environ.get("WINEDEBUG", "-all"),
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
    })
    if state.get("DISPLAY"):
        environ["DISPLAY"] = state["DISPLAY"]
    return SessionEnv(root=root, win64_bin=win64_bin, win_bin=win_bin, arch=arch, wine64=wine64, wine32=wine32,
                      wineserver=wineserver, environ=environ)
