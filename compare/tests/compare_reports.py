"""What the compare tests share: the reports they start from and the varnek1
case keys."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests"))

CASE_KEYS = [f"[{i},{j},{k}]" for i in range(3) for j in range(3) for k in range(5)]

# The rows in which tests/fixtures/compare/varnek1-guarded.txt differs from the
# stand-in's varnek1 report: two size errors and three errors in place of SEH.
GUARDED_ROWS = {"[1,1,3]", "[1,1,4]", "[1,2,2]", "[1,2,3]", "[1,2,4]"}


def keys(first, last):
    """varnek1 case keys from first to last, in the probe's order."""
    return set(CASE_KEYS[CASE_KEYS.index(first):CASE_KEYS.index(last) + 1])


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()
