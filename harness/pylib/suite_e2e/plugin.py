"""pytest plugin of the end-to-end scenarios (``-p suite_e2e.plugin``).

- ``e2e`` (session scope): a Session whose agent runs in the build tree's
  Wine session (started beforehand by ``wine-harness.sh start``, the CTest
  fixture e2e_session_start).
- before every test: a crashed agent is started again, programs an earlier
  test left are ended, the driver and the registry are reset and checked;
- after every test: its programs are ended and, when it failed, the screen,
  the driver's state and request log (and the agent's last words) are kept
  in <wine root>/logs/<test>/.
- i686 scenarios are skipped (exit code 77 for CTest) on a machine that
  cannot run Wine's 32-bit loader.
"""

import json
import os
import re

import pytest

from . import env as env_module
from .agent import AgentCrashed
from .steps import Session

SKIPPED = 77


@pytest.fixture(scope="session")
def e2e_env():
    return env_module.load()


@pytest.fixture(scope="session")
def _e2e_session(e2e_env):
    session = Session(e2e_env)
    yield session
    # What the last agent started (a crashed agent's count is lost with it).
    in_session = 0
    if session.agent.alive():
        try:
            in_session = session.call("agent.stats")["process_starts"]
        except Exception:  # the counts must not fail the run
            pass
    session.stop()
    _report_starts(session, in_session)


def _report_starts(session, in_session):
    """Wine process starts of this run: from the host (the agent, launched
    programs, wine_run) and inside the session (process.run). With
    SUITE_E2E_STATS set, also appended to that file for the benchmark."""
    line = f"host_starts={session.host_starts} in_session_starts={in_session} requests={session.agent.requests_total}"
    _summary.append(f"[harness] Wine process starts: {line}")
    stats = os.environ.get("SUITE_E2E_STATS")
    if stats:
        with open(stats, "a") as file:
            file.write(line + "\n")


@pytest.fixture
def e2e(_e2e_session, request):
    """The step library for one test, on a driver and registry just reset."""
    session = _e2e_session
    if session.env.arch == "i686" and not session.env.can_run_32bit():
        pytest.skip("this machine cannot execute 32-bit Linux programs, so Wine's 32-bit loader cannot run "
                    "i686 programs")
    # <logs>/<CTest name>/<test>: one CTest entry may run several tests.
    node = re.sub(r"[^\w.-]+", "_", request.node.name)
    session.test_logs = session.env.logs / os.environ.get("SUITE_TEST_NAME", "py") / node
    session.ensure_agent()
    session.end_leftovers()
    session.reset()
    yield session
    failed = getattr(request.node, "_e2e_failed", False)
    if failed:
        _keep_artifacts(session)
    try:
        session.end_program()
    except AgentCrashed:
        raise
    finally:
        if not failed and session.test_logs.exists() and not any(session.test_logs.iterdir()):
            session.test_logs.rmdir()


def _keep_artifacts(session):
    logs = session.test_logs
    logs.mkdir(parents=True, exist_ok=True)
    session.screenshot("screen.png")
    (logs / "agent-last-words.txt").write_text(session.agent.last_words() + "\n")
    if session.agent.alive():
        for name, cmd in (("driver-state.json", "driver.state"), ("driver-log.json", "driver.log")):
            try:
                (logs / name).write_text(json.dumps(session.call(cmd), indent=1) + "\n")
            except Exception as error:  # the artifacts must not hide the failure
                (logs / name).write_text(f"cannot read: {error}\n")
    print(f"[harness] logs of the failed test in {logs}")


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    if report.when == "call" and report.failed:
        item._e2e_failed = True


_counts = {"passed": 0, "failed": 0, "skipped": 0}
_summary = []  # lines for the end of the run, shown whether or not a test failed


def pytest_terminal_summary(terminalreporter):
    for line in _summary:
        terminalreporter.write_line(line)


def pytest_runtest_logreport(report):
    if report.when == "call" or report.outcome != "passed":
        _counts[report.outcome] = _counts.get(report.outcome, 0) + 1


def pytest_sessionfinish(session, exitstatus):
    # All skipped and nothing failed: CTest's SKIP_RETURN_CODE.
    if exitstatus == 0 and _counts["skipped"] and not _counts["passed"] and not _counts["failed"]:
        session.exitstatus = SKIPPED
