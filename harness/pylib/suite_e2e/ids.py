"""Control and resource identifiers of the programs, read from their
``*_ids.h`` headers (``#define NAME NUMBER``).

This is the one place that reads them: when the build writes a generated
file of identifiers, ``program_ids`` reads that instead and the scenarios
do not change.
"""

import re
from pathlib import Path
from types import MappingProxyType

from .env import REPO

_DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\s+(?:\(\s*)?(-?(?:0[xX][0-9a-fA-F]+|\d+))[uUlL]*(?:\s*\))?\s*(?:/[/*].*)?$")


class Ids:
    """The identifiers of one program: ``ids.IDC_APPLY`` or ``ids["IDC_APPLY"]``."""

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


def read_ids(header) -> Ids:
    """Every ``#define NAME NUMBER`` of a header (decimal or hex, optionally in
    parentheses or with a suffix); the include guard and defines of other
    forms are skipped."""
    values = {}
    for line in Path(header).read_text(encoding="utf-8", errors="replace").splitlines():
        match = _DEFINE.match(line)
        if match:
            values[match.group(1)] = int(match.group(2), 0)
    return Ids(str(header), values)


def program_ids(program: str) -> Ids:
    """The identifiers of a program of the suite by its folder name (``velmic``)."""
    header = REPO / program / f"{program}_ids.h"
    if not header.exists():
        raise FileNotFoundError(f"no identifiers header {header}")
    return read_ids(header)
