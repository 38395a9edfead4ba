#!/usr/bin/env python3
"""Adds up the GoogleTest XML reports in a folder: tests run, skipped and failed,
with the reason of every skip, so a Windows run says plainly what it left out."""
import pathlib
import sys
import xml.etree.ElementTree as ET

folder = pathlib.Path(sys.argv[1])
run = skipped = failed = 0
reasons = {}
reports = sorted(folder.glob("*.xml"))
for report in reports:
    for case in ET.parse(report).getroot().iter("testcase"):
        if case.find("skipped") is not None or case.get("result") == "skipped":
            skipped += 1
            node = case.find("skipped")
            reason = (node.get("message", "") if node is not None else "").strip().splitlines()
            key = reason[-1] if reason else "no reason given"
            reasons.setdefault(key, []).append(f"{report.stem}: {case.get('classname')}.{case.get('name')}")
        elif case.find("failure") is not None:
            failed += 1
        else:
            run += 1
for reason, cases in sorted(reasons.items()):
    print(f"skipped ({len(cases)}): {reason}")
    for case in cases[:3]:
        print(f"    {case}")
    if len(cases) > 3:
        print(f"    ... and {len(cases) - 3} more")
print(f"Windows suite: {len(reports)} test programs, {run + failed} tests run, {skipped} skipped")
print(f"{run} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed or not reports else 0)
