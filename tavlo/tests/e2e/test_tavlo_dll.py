"""TAVLO.DLL end to end: the GoogleTest program tavlo_e2e_test.exe
(tavlo_e2e_test_win32.cpp beside this file) run to its end inside the Wine
session, on a driver and registry the fixture has just reset."""


def test_tavlo_dll(e2e):
    e2e.run_test_program(e2e.exe("tavlo_e2e_test.exe"))
