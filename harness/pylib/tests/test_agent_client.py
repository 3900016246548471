"""The host's end of the agent against stand-in agents (Python scripts that
speak the protocol, or fail to): replies, errors, the one repeated start of
a process Wine ended early, crashes with last words, and a hung agent."""

import sys
import textwrap
from pathlib import Path

import pytest

from suite_e2e import agent as agent_module
from suite_e2e.agent import Agent, AgentCrashed, AgentError
from suite_e2e.env import SessionEnv

SERVE = """
import json, os, sys
print(json.dumps({"ready": True, "agent": "fake"}), flush=True)
for line in sys.stdin:
    request = json.loads(line)
    cmd = request["cmd"]
    sys.stderr.write("fake: " + cmd + "\\n"); sys.stderr.flush()
    if cmd == "quit":
        print(json.dumps({"id": request["id"], "ok": True, "result": {}}), flush=True); break
    if cmd == "crash":
        sys.stderr.write("fake: dying now\\n"); sys.stderr.flush(); os._exit(3)
    if cmd == "hang":
        import time; time.sleep(60)
    if cmd == "garbage":
        print("this is no json", flush=True); continue
    if cmd == "wrong-id":
        print(json.dumps({"id": -1, "ok": True, "result": {}}), flush=True); continue
    if cmd == "fail":
        print(json.dumps({"id": request["id"], "ok": False, "error": "it failed", "last": {"n": 1}}), flush=True)
        continue
    print(json.dumps({"id": request["id"], "ok": True, "result": {"echo": request["args"]}}), flush=True)
"""


def make_agent(tmp_path, body, name="fake_agent.py"):
    script = tmp_path / name
    script.write_text(textwrap.dedent(body))
    env = SessionEnv(root=tmp_path, win64_bin=tmp_path, win_bin=tmp_path, arch="x86_64", wine64=sys.executable,
                     wine32=sys.executable, wineserver="", environ={})
    return Agent(env, exe=script)


def test_replies_and_errors(tmp_path):
    agent = make_agent(tmp_path, SERVE)
    agent.start()
    assert agent.call("echo", a=1) == {"echo": {"a": 1}}
    with pytest.raises(AgentError) as raised:
        agent.call("fail")
    assert raised.value.message == "it failed" and raised.value.last == {"n": 1}
    assert agent.call("echo") == {"echo": {}}  # still serving
    agent.stop()
    assert not agent.alive()


@pytest.mark.parametrize("cmd,text", [
    ("crash", "fake: dying now"),
    ("garbage", "wrote no JSON"),
    ("wrong-id", "reply for another request"),
])
def test_a_broken_agent_is_reported_with_its_last_words(tmp_path, cmd, text):
    agent = make_agent(tmp_path, SERVE)
    agent.start()
    with pytest.raises(AgentCrashed) as raised:
        agent.call(cmd)
    assert text in str(raised.value)
    assert f"fake: {cmd}" in str(raised.value)  # the last words name the command
    agent.stop()


def test_a_hung_agent_is_ended_after_the_deadline(tmp_path):
    agent = make_agent(tmp_path, SERVE)
    agent.start()
    with pytest.raises(AgentCrashed, match="no reply within"):
        agent.call("hang", deadline_s=1)
    agent.process.wait(timeout=10)
    assert not agent.alive()
    with pytest.raises(AgentCrashed, match="not running"):
        agent.call("echo")


def test_a_start_wine_ended_early_is_made_once_more(tmp_path):
    # The first start ends at once without a word (as Wine now and then
    # does); the second is the real agent.
    marker = tmp_path / "started-once"
    first = textwrap.dedent(f"""
        import os, sys
        if not os.path.exists({str(marker)!r}):
            open({str(marker)!r}, "w").close()
            sys.exit(1)
        """)
    agent = make_agent(tmp_path, first + textwrap.dedent(SERVE))
    assert agent.start()["ready"] is True
    assert agent.starts == 2
    agent.stop()


def test_an_agent_that_says_why_it_ended_is_not_started_again(tmp_path):
    agent = make_agent(tmp_path, "import sys\nsys.stderr.write('cannot open the driver\\n')\nsys.exit(1)\n")
    with pytest.raises(AgentCrashed, match="cannot open the driver"):
        agent.start()
    assert agent.starts == 1


def test_request_deadlines_add_up_the_waits_inside():
    timeout = agent_module._longest_timeout_ms
    assert timeout({}) == 0
    assert timeout({"timeout_ms": 5000}) == 5000
    assert timeout({"commands": [{"args": {"timeout_ms": 1000}}, {"args": {"duration_ms": 2000}}]}) == 3000
    assert timeout({"do": {"args": {"timeout_ms": 30000}}, "timeout_ms": 5000}) == 35000
