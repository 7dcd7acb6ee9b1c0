#!/usr/bin/env python3
"""policy_templates.py ADMX ADML POLICIES_H: both files well-formed, every
string and presentation they name defined, and every policy writing a value
the program reads, in its key, with the numbers kPolicyRanges declares."""
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
admx, adml = (ET.parse(path).getroot() for path in sys.argv[1:3])
defined = {"string": {s.get("id") for s in adml.iterfind(".//p:string", NS)},
           "presentation": {p.get("id") for p in adml.iterfind(".//p:presentation", NS)}}
faults = [f"$({kind}.{ref}) is not defined" for element in admx.iter() for value in element.attrib.values()
          for kind, ref in re.findall(r"\$\((string|presentation)\.([^)]+)\)", value) if ref not in defined[kind]]

offered = {}  # the numbers each value may hold, as the template offers them
for policy in admx.iterfind(".//p:policy", NS):
    if policy.get("key") != "Software\\Policies\\Zemrik Software\\Tamberlinox" or policy.get("class") != "Both":
        faults.append(f"{policy.get('name')}: key {policy.get('key')}, class {policy.get('class')}")
    if policy.get("valueName"):
        offered.setdefault(policy.get("valueName"), set()).update(
            int(d.get("value")) for tag in ("enabledValue", "disabledValue")
            for d in policy.iterfind(f"p:{tag}/p:decimal", NS))
    for element in policy.iterfind("p:elements/*", NS):
        numbers = offered.setdefault(element.get("valueName"), set())
        numbers.update(int(d.get("value")) for d in element.iterfind("p:item/p:value/p:decimal", NS))
        if element.get("maxValue"):
            numbers.update(range(int(element.get("minValue")), int(element.get("maxValue")) + 1))

taken = {}  # the numbers the program takes
table = re.search(r"kPolicyRanges\[\] = \{(.*?)\n\};", open(sys.argv[3]).read(), re.S).group(1)
for value, low, high in re.findall(r'\{"(\w+)", (\d+), (\d+)\}', table):
    taken.setdefault(value, set()).update(range(int(low), int(high) + 1))
faults += [f"{value}: the template offers {sorted(offered.get(value, []))}, the program takes "
           f"{sorted(taken.get(value, []))}"
           for value in set(offered) | set(taken) if offered.get(value) != taken.get(value)]
print("\n".join(faults) or f"{len(offered)} values, as the program takes them")
sys.exit(1 if faults else 0)
