#!/usr/bin/env python3
"""The administrative template against the program: both files well-formed,
every string and presentation it names defined, and every policy writing a
value the program reads, in the key it reads, with the numbers it takes.

Usage: policy_templates.py ADMX ADML POLICIES_HEADER"""
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
KEY = "Software\\Policies\\Zemrik Software\\Tamberlinox"

admx, adml, header = sys.argv[1:4]
definitions, resources = ET.parse(admx).getroot(), ET.parse(adml).getroot()
strings = {s.get("id") for s in resources.iterfind(".//p:stringTable/p:string", NS)}
presentations = {p.get("id"): p for p in resources.iterfind(".//p:presentationTable/p:presentation", NS)}
supported = {d.get("name") for d in definitions.iterfind(".//p:supportedOn/p:definitions/p:definition", NS)}
categories = {c.get("name") for c in definitions.iterfind(".//p:categories/p:category", NS)}
failures = []

for element in definitions.iter():
    for value in element.attrib.values():
        for kind, ref in re.findall(r"\$\((string|presentation)\.([^)]+)\)", value):
            if ref not in (strings if kind == "string" else presentations):
                failures.append(f"$({kind}.{ref}) is not defined in {adml}")

# The numbers each value may hold, as the template offers them.
offered = {}
for policy in definitions.iterfind(".//p:policies/p:policy", NS):
    name = policy.get("name")
    if policy.get("class") != "Both" or policy.get("key") != KEY:
        failures.append(f"{name}: class {policy.get('class')}, key {policy.get('key')}")
    if policy.find("p:supportedOn", NS).get("ref") not in supported:
        failures.append(f"{name}: its supportedOn is not defined")
    if policy.find("p:parentCategory", NS).get("ref") not in categories:
        failures.append(f"{name}: its category is not defined")
    if policy.get("valueName"):
        values = [int(d.get("value")) for d in policy.iterfind("p:enabledValue/p:decimal", NS)]
        values += [int(d.get("value")) for d in policy.iterfind("p:disabledValue/p:decimal", NS)]
        offered.setdefault(policy.get("valueName"), set()).update(values)
    presentation = presentations.get(re.sub(r"^\$\(presentation\.(.*)\)$", r"\1", policy.get("presentation", "")))
    shown = {child.get("refId") for child in presentation} if presentation is not None else set()
    for element in policy.iterfind("p:elements/*", NS):
        numbers = offered.setdefault(element.get("valueName"), set())
        if element.tag.endswith("}enum"):
            numbers.update(int(d.get("value")) for d in element.iterfind("p:item/p:value/p:decimal", NS))
        elif element.tag.endswith("}decimal"):
            numbers.update(range(int(element.get("minValue")), int(element.get("maxValue")) + 1))
        else:
            failures.append(f"{name}: an element the program has no use for")
        if element.get("id") not in shown:
            failures.append(f"{name}: element {element.get('id')} is not presented")

# The numbers the program takes, as settings/Policies.h declares them.
table = re.search(r"kPolicyRanges\[\] = \{(.*?)\n\};", open(header).read(), re.S).group(1)
taken = {}
for value, low, high in re.findall(r'\{"(\w+)", (\d+), (\d+)\}', table):
    taken.setdefault(value, set()).update(range(int(low), int(high) + 1))

for value in sorted(set(offered) | set(taken)):
    if offered.get(value) != taken.get(value):
        failures.append(f"{value}: the template offers {sorted(offered.get(value, []))}, "
                        f"the program takes {sorted(taken.get(value, []))}")

print("\n".join(failures) or f"{len(offered)} values, as the program takes them")
sys.exit(1 if failures else 0)
