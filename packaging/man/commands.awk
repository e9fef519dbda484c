# SPDX-License-Identifier: Apache-2.0
# Makes a COMMANDS section of the "Commands:" part that help2man makes of
# corvanty --help, where each usage line and each summary is a paragraph of
# its own (.IP, or .HP where a line starts with an option): each command
# becomes one tagged paragraph, its usage in bold (a usage wrapped onto more
# lines goes on with "[" or an option), its summary below.
function take(paragraph) {
  if (paragraph == "") return
  gsub(/\\f[BIRP]/, "", paragraph)
  if (usage == "") usage = paragraph
  else if (paragraph ~ /^(\[|\\-\\-)/) usage = usage " " paragraph
  else {
    print ".TP\n\\fB" usage "\\fR\n" paragraph
    usage = ""
  }
}
/^\.SS "Commands:"$/ { print ".SH COMMANDS"; inside = 1; next }
inside && /^\.(IP|HP)$/ { take(paragraph); paragraph = ""; next }
inside && /^\.(SH|SS|PP)/ { take(paragraph); inside = 0 }
inside { paragraph = paragraph == "" ? $0 : paragraph "\n" $0; next }
{ print }
END { if (inside) take(paragraph) }
