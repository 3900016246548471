"""The Wine soak's reading of the driver, without Wine: which requests of
the log count as polls, requests lost between readings, and the invariant
of at most one panel with point data."""

import importlib.util
from pathlib import Path

import pytest

_spec = importlib.util.spec_from_file_location("nystra_soak", Path(__file__).parents[1] / "e2e" / "test_soak.py")
soak = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(soak)

TOUCH, SET, STATUS = 0x22E0E0, 0x22A0C4, 0x226004


def state(*pointdata, plugged=1):
    return {"driver": {"plugged": plugged}, "panels": [{"id": 16 * (i + 1), "pointdata": p}
                                                      for i, p in enumerate(pointdata)]}


def log(first, *requests):
    """Requests (code, input) numbered from `first`."""
    return [{"seq": first + i, "code": code, "in": list(data)} for i, (code, data) in enumerate(requests)]


POLL = ((STATUS, ()), (TOUCH, (0,)), (TOUCH, (1,)))
RELEASE = ((SET, (0, 0)), (STATUS, ()), (TOUCH, (0,)))


@pytest.mark.parametrize("readings, polls, unseen", [
    ([log(0, *POLL)], 1, 0),
    ([log(0, *POLL, *POLL, *POLL)], 3, 0),
    # A release's touch read follows the disable of panel 0: no poll.
    ([log(0, *RELEASE)], 0, 0),
    ([log(0, *POLL, *RELEASE, *POLL)], 2, 0),
    # The disable in one reading, the touch read in the next: still no poll.
    ([log(0, (SET, (0, 0)), (STATUS, ())), log(0, (SET, (0, 0)), (STATUS, ()), (TOUCH, (0,)))], 0, 0),
    # Requests read before are not counted again.
    ([log(0, *POLL), log(0, *POLL, *POLL)], 2, 0),
    # Touch reads of other panels, or with another input, start no poll.
    ([log(0, (STATUS, ()), (TOUCH, (1,)), (TOUCH, (0, 0)))], 0, 0),
    # The log lost requests between readings: counted as unseen.
    ([log(0, *POLL), log(7, *POLL)], 2, 4),
    ([log(0, *POLL), []], 1, 0),
])
def test_polls_and_unseen_requests(readings, polls, unseen):
    figures = soak.Figures()
    for reading in readings:
        figures.take(state(0, 1), reading, "step", TOUCH, SET)
    assert (figures.polls, figures.unseen) == (polls, unseen)


@pytest.mark.parametrize("pointdata, plugged, fails", [
    ((0, 0, 0), 1, False),
    ((0, 1, 0), 0, False),
    ((1, 0, 1), 1, True),
    ((1, 1, 1), 1, True),
])
def test_at_most_one_panel_with_point_data(pointdata, plugged, fails):
    figures = soak.Figures()
    if fails:
        with pytest.raises(AssertionError, match="panels with point data"):
            figures.take(state(*pointdata), [], "touch", TOUCH, SET)
        return
    figures.take(state(*pointdata, plugged=plugged), [], "touch", TOUCH, SET)
    assert figures.panels == [16, 32, 48]
    assert figures.plugged == (plugged == 1)
    assert figures.most_enabled == sum(pointdata)
