"""Line coverage of each library folder, from gcovr's JSON summary."""
import json
import sys
from collections import defaultdict

summary = json.load(open(sys.argv[1]))
folders = sys.argv[2:]
lines = defaultdict(lambda: [0, 0])
for f in summary["files"]:
    top = f["filename"].split("/", 1)[0]
    if top in folders:
        lines[top][0] += f["line_covered"]
        lines[top][1] += f["line_total"]
print("Line coverage by library (suite without the browser tests):")
for folder in folders:
    covered, total = lines[folder]
    share = 100.0 * covered / total if total else 0.0
    print(f"  {folder + '/':16} {share:5.1f}%  ({covered} of {total} lines)")
