"""TAVLO.DLL end to end: the GoogleTest program tavlo_e2e_test.exe
(tavlo_e2e_test_win32.cpp beside this file) run to its end inside the Wine
session, on a driver and registry the fixture has just reset."""


def test_tavlo_dll(e2e):
    done = e2e.run(e2e.exe("tavlo_e2e_test.exe"), timeout=240)
    assert done["status"] == 0, f"tavlo_e2e_test.exe: exit {done['status']}\n{done['stdout']}\n{done['stderr']}"
    assert "[  PASSED  ]" in done["stdout"], done["stdout"]
