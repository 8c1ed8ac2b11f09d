# Makes an abidw dump independent of where the sources and the build lay: each translation unit
# keeps its file name alone, and the elements directly inside it are sorted, each whole with the
# lines nested in it (abidw orders them by source path, which differs between checkouts).
/^  <abi-instr / {
  sub(/ path='[^']*\//, " path='")
  print
  inside = 1
  count = 0
  next
}
/^  <\/abi-instr>/ {
  if (element != "") elements[++count] = element
  for (i = 2; i <= count; i++) {
    moved = elements[i]
    for (j = i - 1; j > 0 && elements[j] > moved; j--) elements[j + 1] = elements[j]
    elements[j + 1] = moved
  }
  for (i = 1; i <= count; i++) print elements[i]
  print
  inside = 0
  element = ""
  next
}
!inside { print; next }
/^    <[^\/]/ {
  if (element != "") elements[++count] = element
  element = $0
  next
}
{ element = element "\n" $0 }
