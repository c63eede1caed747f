# Writes the text of INPUT into OUTPUT as the body of a C++ raw string literal,
# so a data file kept in the repository is compiled into the program.
file(READ "${INPUT}" content)
string(FIND "${content}" ")tessera\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw-string delimiter")
endif()
file(WRITE "${OUTPUT}.tmp" "R\"tessera(${content})tessera\"\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
