"""Cordane's Win32 edge under Wine: the GoogleTest program
cordane_win32_test.exe (tests/cordane_win32_test.cpp: tool starts, code
page conversions, the system-command filter) run to its end inside the
session."""


def test_cordane_win32_test(e2e):
    e2e.run_test_program(e2e.exe("cordane_win32_test.exe"), timeout=60)
