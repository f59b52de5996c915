#!/usr/bin/env bash
# What installs the hack: vulkara.xml parses and offers every option that the program's -help
# lists, with the same ranges and defaults; the .deb holds the program, vulkara.xml and the
# manual page where XScreenSaver and man look for them.
#   hack-files.sh VULKARA VULKARA_XML CPACK_CONFIG VERSION
set -u
HACK=$1
XML=$2
CPACK_CONFIG=$(realpath "$3")
VERSION=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

"$HACK" -help >"$work/help.txt" || { echo "FAIL: -help failed"; exit 1; }
python3 - "$work/help.txt" "$XML" <<'PY' || status=1
import re, sys
import xml.etree.ElementTree as ET

# Options where XScreenSaver chooses the window are not the dialog's.
WINDOW_OPTIONS = {"root", "window-id", "geometry"}
help_text = open(sys.argv[1]).read()
options = {}
for m in re.finditer(r"^  -(\S+)(?: (\S+))?\s.*?(?:\(default (\S+)\))?$", help_text, re.M):
    name, value, default = m.groups()
    if name not in WINDOW_OPTIONS:
        options[name] = (value, default)
root = ET.parse(sys.argv[2]).getroot()
assert root.tag == "screensaver" and root.get("name") == "vulkara", "not vulkara's description"
failures = []
offered = set()
for number in root.iter("number"):
    name = number.get("arg").split()[0].lstrip("-")
    offered.add(name)
    value, default = options.get(name, (None, None))
    shown = "%s..%s" % (number.get("low"), number.get("high"))
    if (value, default) != (shown, number.get("default")):
        failures.append("-%s: the dialog offers %s (default %s), -help says %s (default %s)"
                        % (name, shown, number.get("default"), value, default))
for select in root.iter("select"):
    args = [o.get("arg-set") for o in select.iter("option")]
    name = next(a for a in args if a).split()[0].lstrip("-")
    offered.add(name)
    words = [o.get("id") for o in select.iter("option")]
    defaults = [o.get("id") for o in select.iter("option") if not o.get("arg-set")]
    value, default = options.get(name, (None, None))
    if value != "|".join(words) or defaults != [default]:
        failures.append("-%s: the dialog offers %s (default %s), -help says %s (default %s)"
                        % (name, "|".join(words), defaults, value, default))
for boolean in root.iter("boolean"):
    name = boolean.get("arg-set").lstrip("-")
    offered.add(name)
    if name not in options or options[name] != (None, None):
        failures.append("-%s: the dialog has a checkbox, -help does not list a flag" % name)
missing = set(options) - offered
if missing:
    failures.append("the dialog lacks " + ", ".join(sorted(missing)))
print("options in both: " + ", ".join(sorted(offered & set(options))))
for failure in failures:
    print("FAIL: " + failure)
sys.exit(1 if failures else 0)
PY

(cd "$work" && cpack --config "$CPACK_CONFIG" -B "$work" >"$work/cpack.log" 2>&1) ||
    { echo "FAIL: cpack failed:"; cat "$work/cpack.log"; exit 1; }
deb=$work/vulkara_${VERSION}_amd64.deb
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb"), only: $(ls "$work")"; exit 1; }
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/contents.txt"
for path in ./usr/libexec/xscreensaver/vulkara ./usr/share/xscreensaver/config/vulkara.xml \
    ./usr/share/man/man6/vulkara.6; do
    grep -qx "$path" "$work/contents.txt" || { echo "FAIL: the package lacks $path"; status=1; }
done
echo "$(basename "$deb"): $(grep -cv '/$' "$work/contents.txt") files"
exit $status
