"""Shared steps of the SDK's pytest scenarios: programs built against the SDK
(the client check and the samples, in MinGW-w64's build and in Microsoft's
ABI) run to their end inside the Wine session, against the simulated driver
and the prefix's registry."""

import pytest

from suite_e2e.steps import SUITE_KEY

# Requests of the driver that change something have the access bits of
# FILE_WRITE_ACCESS alone (0x22A...); reads are 0x22E... and 0x226....
WRITE_PREFIX = "0x22A"


class Programs:
    KEY = SUITE_KEY

    def __init__(self, e2e):
        self.e2e = e2e

    def run(self, status, exe, *args, timeout=60):
        """Runs a program of the build to its end; asserts its exit code;
        the lines it printed."""
        done = self.e2e.run(self.e2e.exe(exe), *args, timeout=timeout)
        assert done["status"] == status, \
            f"{exe} {' '.join(map(str, args))}: exit code {done['status']}, not {status}; printed:\n" \
            f"{done['stdout']}--- stderr:\n{done['stderr']}"
        return done["stdout"].split("\n")

    @staticmethod
    def has(lines, *expected):
        """The program printed exactly these lines (among others)."""
        for line in expected:
            assert line in lines, f"expected the line {line!r}, got:\n" + "\n".join(lines)

    def put(self, subkey, *values):
        """Values of one key of the records (32-bit view, where every build keeps them)."""
        self.e2e.registry.write(32, f"{self.KEY}\\{subkey}", *values)

    def value(self, subkey, name):
        return self.e2e.registry.read(32, f"{self.KEY}\\{subkey}", name)

    def panels(self, field):
        """A field of every panel of the driver."""
        return [p[field] for p in self.e2e.driver.state()["panels"]]

    def clear_log(self):
        self.e2e.call("driver.clear_log")

    def writes(self):
        """The driver's logged write requests, by code."""
        return [r["code_hex"] for r in self.e2e.driver.log() if r["code_hex"].startswith(WRITE_PREFIX)]


@pytest.fixture
def programs(e2e):
    return Programs(e2e)
