"""Control identifiers, window classes and the install folder, read from the
file the build generates from the programs' ``*_ids.h`` headers
(harness/make-e2e-ids.cmake; ``e2e_ids.sh`` in the build tree, named by
SUITE_E2E_IDS). Nothing here parses a header: the build does that once.

The file's lines are ``NAME=VALUE``: numbers in decimal, texts in single
quotes, and the install folder in double quotes built from two earlier
names. A program's names carry its name as a prefix (VELMIC_IDC_APPLY);
``program_ids("velmic")`` gives them without it (``ids.IDC_APPLY``) and
with it.
"""

import os
import re
from pathlib import Path
from types import MappingProxyType

from .env import REPO

_LINE = re.compile(r"^([A-Za-z_]\w*)=(.*)$")


class Ids:
    """Identifiers by name: ``ids.IDC_APPLY`` or ``ids["IDC_APPLY"]``."""

    def __init__(self, source, values):
        self._source = source
        self._values = MappingProxyType(dict(values))

    def __getattr__(self, name):
        try:
            return self._values[name]
        except KeyError:
            raise AttributeError(f"{self._source} defines no {name}") from None

    def __getitem__(self, name):
        return self.__getattr__(name)

    def __contains__(self, name):
        return name in self._values

    def names(self):
        return dict(self._values)


def _value(text, known):
    if re.fullmatch(r"-?\d+", text):
        return int(text)
    if len(text) >= 2 and text[0] == text[-1] == "'":
        return text[1:-1]
    if len(text) >= 2 and text[0] == text[-1] == '"':
        inner = re.sub(r"\$\{(\w+)\}", lambda m: str(known[m.group(1)]), text[1:-1])
        return inner.replace("\\\\", "\\")
    raise ValueError(f"unreadable value {text!r}")


def read_ids_file(path) -> Ids:
    """Every NAME=VALUE line of a generated identifiers file."""
    values = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        match = _LINE.match(line.strip())
        if match:
            values[match.group(1)] = _value(match.group(2), values)
    return Ids(str(path), values)


def ids_file() -> Path:
    return Path(os.environ.get("SUITE_E2E_IDS", REPO / "build" / "win64" / "e2e_ids.sh"))


_cache = {}


def _all_ids() -> Ids:
    path = ids_file()
    if path not in _cache:
        if not path.exists():
            raise FileNotFoundError(f"no identifiers file {path} (configure a Windows preset first)")
        _cache[path] = read_ids_file(path)
    return _cache[path]


def program_ids(program: str) -> Ids:
    """The identifiers of a program of the suite by its folder name (``velmic``),
    with and without its prefix, and Windows' own button identifiers (IDOK...)."""
    every = _all_ids().names()
    prefix = program.upper() + "_"
    mine = {name[len(prefix):]: value for name, value in every.items() if name.startswith(prefix)}
    if not mine:
        raise KeyError(f"{ids_file()} has no identifiers of {program}")
    mine.update({name: value for name, value in every.items() if name.startswith(prefix)})
    mine.update({name: every[name] for name in ("IDOK", "IDCANCEL", "IDABORT", "IDRETRY", "IDIGNORE", "IDYES", "IDNO")})
    return Ids(f"{ids_file()} ({program})", mine)


def suite_ids() -> Ids:
    """The suite's own names: SUITE_INSTALL_FOLDER and its two parts."""
    return Ids(str(ids_file()), {k: v for k, v in _all_ids().names().items() if k.startswith("SUITE_")})
