"""The end-to-end step library: scenarios under Wine, driven from the host.

A scenario is a pytest test that takes the ``e2e`` fixture (a ``Session``,
see ``steps.py``); the plugin (``suite_e2e.plugin``) starts the agent in the
existing Wine session and puts the driver and the registry back to a known
start before every test.
"""

from .agent import Agent, AgentCrashed, AgentError
from .ids import program_ids, suite_ids
from .steps import Session, Window

__all__ = ["Agent", "AgentCrashed", "AgentError", "Session", "Window", "program_ids", "suite_ids"]
