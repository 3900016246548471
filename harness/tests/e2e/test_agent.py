"""The agent and its fixture under Wine: bad requests are answered, a crash
is reported with the agent's last words and the next test gets a new
agent, waits run out with the last result, and the registry round-trips
in both views."""

import pytest

from suite_e2e import AgentCrashed, AgentError

KEY = "HKLM\\Software\\ZR_EX_CONTROL\\ID17"


def test_bad_requests_get_errors_and_the_agent_goes_on(e2e):
    for cmd, args, error in [
        ("no.such.command", {}, "unknown command"),
        ("window.find", {"title": 5}, "must be a string"),
        ("driver.attach", {"id": 300}, "between 0 and 255"),
        ("registry.read", {"view": 48, "key": KEY, "name": "X"}, "must be 32 or 64"),
        ("registry.read", {"view": 32, "key": "HKXX\\Software", "name": "X"}, "must start with"),
        ("registry.write", {"view": 32, "key": KEY, "values": [{"name": "A", "type": "REG_DWORD", "data": -1}]},
         "REG_DWORD data must be"),
    ]:
        with pytest.raises(AgentError, match=error):
            e2e.call(cmd, **args)
    # A raw line that is no JSON: an error reply, and the agent still serves.
    e2e.agent.process.stdin.write(b"not json at all\n")
    e2e.agent.process.stdin.flush()
    assert e2e.agent._read_reply(30, "raw")["ok"] is False
    assert e2e.call("ping") == {"pong": True}


def test_waits_run_out_with_the_last_result(e2e):
    e2e.driver.attach(0x11)
    with pytest.raises(AgentError) as raised:
        e2e.driver.wait({"driver": {"panels": 2}}, timeout=0.3)
    assert raised.value.last["driver"]["panels"] == 1
    with pytest.raises(AgentError, match="no window"):
        e2e.wait_for_window("no window has this caption", timeout=0.2)
    e2e.driver.stays({"driver": {"panels": 1}}, 0.3)


def test_registry_round_trip_in_both_views(e2e):
    e2e.registry.write(32, KEY, ("NAME", "REG_SZ", "Line \u00c4 \u20ac"), ("TOUCH_OP", "REG_DWORD", 1),
                       ("BLOB", "REG_BINARY", "01 ff 7a"))
    assert e2e.registry.read(32, KEY, "NAME") == ("REG_SZ", "Line \u00c4 \u20ac")
    assert e2e.registry.read(32, KEY, "BLOB") == ("REG_BINARY", "01 ff 7a")
    assert e2e.registry.read(32, KEY, "MISSING") is None
    assert e2e.registry.read(64, KEY, "TOUCH_OP") is None  # the other view
    # reg.exe, run inside the session, sees what the agent wrote.
    query = e2e.run("C:\\windows\\system32\\reg.exe", "query", KEY, "/v", "TOUCH_OP", "/reg:32")
    assert query["status"] == 0 and "0x1" in query["stdout"]
    e2e.registry.delete(32, "HKLM\\Software\\ZR_EX_CONTROL")
    assert e2e.registry.values(32, KEY) is None


def test_a_crashed_agent_fails_the_test_with_its_last_words(e2e):
    e2e.call("ping")
    with pytest.raises(AgentCrashed) as raised:
        e2e.call("selftest.crash")
    assert "ending on selftest.crash as asked" in str(raised.value)
    assert not e2e.agent.alive()
    # What the fixture does before the next test.
    e2e.ensure_agent()
    assert e2e.call("ping") == {"pong": True}


def test_the_next_test_after_a_crash_finds_a_new_agent(e2e):
    assert e2e.agent.alive()
    assert e2e.driver.state()["driver"]["panels"] == 0


def test_a_listener_hears_a_posted_broadcast(e2e):
    name = "SuiteAgentSelfTest"
    e2e.call("listen.start", name=name)
    assert e2e.call("listen.heard", name=name)["count"] == 0
    e2e.call("window.post", window="#ffff", msg=name, wparam=7, lparam=9)
    e2e.wait("listen.heard", {"count": 1, "wparam": 7, "lparam": 9}, name=name)
    e2e.call("listen.stop", name=name)
    with pytest.raises(AgentError, match="no listener"):
        e2e.call("listen.heard", name=name)
    # A listener still running when the agent quits ends with it.
    e2e.call("listen.start", name=name)
    process = e2e.agent.process
    e2e.agent.stop()
    assert process.returncode == 0
    e2e.ensure_agent()


def test_window_and_process_reads_of_the_desktop_holder(e2e):
    # The session's own hidden window (wine-harness.sh start) and the
    # desktop process: things every session has.
    holder = e2e.wait_for_window("suite agent desktop holder", timeout=5)
    state = holder.state()
    assert state["visible"] == 0 and state["class"].lower() == "static"
    assert e2e.call("window.count", title="suite agent desktop holder")["count"] == 1
    swept = e2e.call("window.sweep", window=holder.handle, each_ms=2000)
    assert swept["windows"] == 1 and swept["sent"] > 0 and swept["unanswered"] == 0, swept
    explorer = e2e.call("process.resources", image="explorer.exe")["processes"]
    assert explorer and explorer[0]["windows"] > 0 and explorer[0]["gdi_table"] > 0, explorer
    assert e2e.call("process.count", image="no-such-program.exe")["count"] == 0
    e2e.call("process.ended", image="no-such-program.exe", timeout_ms=1000)
    with pytest.raises(AgentError, match="no window"):
        e2e.call("window.state", window="#7fff0001")


def test_the_service_console_runs_inside_the_agent(e2e):
    # A click set written through the console's line reaches the driver
    # (through the x86_64 TAVLO.DLL) and comes back decoded in the state.
    e2e.driver.attach(0x31)
    done = e2e.tavloctl("click", 0, "--saved", 50, 20, 450, 30)
    assert done["status"] == 0, done
    e2e.driver.wait({"panels": [{"clicksetsaved": {"down_cancel": 50, "up_cancel": 20, "double_click_time": 450,
                                                   "double_click_area": 30}}]})
    read = e2e.tavloctl("click", 0, "--saved", "--json", parse_json=True)
    assert read["json"]["click"]["double_click_time"] == 450, read
    # Its refusals are answers, not agent errors.
    bad = e2e.tavloctl("click", 7, 1, 2, 3, 4)
    assert bad["status"] != 0 and bad["stderr"], bad
