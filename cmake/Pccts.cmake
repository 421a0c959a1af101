# The parser construction set: its support sources become one static library, and
# grammar files are turned into C++ at build time (generated files are never committed).
find_program(ANTLR_EXE antlr REQUIRED)
find_program(DLG_EXE dlg REQUIRED)
set(PCCTS_INCLUDE_DIR /usr/include/pccts)

add_library(pccts_runtime STATIC
  ${PCCTS_INCLUDE_DIR}/AParser.cpp
  ${PCCTS_INCLUDE_DIR}/DLexerBase.cpp
  ${PCCTS_INCLUDE_DIR}/ATokenBuffer.cpp
  ${PCCTS_INCLUDE_DIR}/ASTBase.cpp
  ${PCCTS_INCLUDE_DIR}/PCCTSAST.cpp)
target_include_directories(pccts_runtime SYSTEM PUBLIC ${PCCTS_INCLUDE_DIR})
target_compile_options(pccts_runtime PRIVATE -w $<$<CXX_COMPILER_ID:Clang>:-Wno-register>)
set_target_properties(pccts_runtime PROPERTIES CXX_VISIBILITY_PRESET hidden)

# pccts_generate(<grammar> <outdir> <lexer class> <out var> [TOKENS <file>] [NO_TREES]
#                <parser class sources...>)
# Runs antlr in the grammar's folder (it must see a bare file name) and dlg over its
# scanner description; sets <out var> to the generated sources and headers. Token
# numbers come from the grammar's #tokdefs file (TOKENS, default QvTokens.h beside the
# grammar), so antlr writes no tokens.h. NO_TREES makes a parser that builds no trees.
function(pccts_generate grammar outdir lexclass outvar)
  cmake_parse_arguments(PARSE_ARGV 4 gen "NO_TREES" "TOKENS" "")
  get_filename_component(gdir ${grammar} DIRECTORY)
  get_filename_component(gname ${grammar} NAME)
  get_filename_component(gbase ${grammar} NAME_WE)
  if(NOT gen_TOKENS)
    set(gen_TOKENS ${gdir}/QvTokens.h)
  endif()
  set(tree_flags -gt -newAST)
  if(gen_NO_TREES)
    set(tree_flags)
  endif()
  file(MAKE_DIRECTORY ${outdir})
  set(parser_sources ${outdir}/${gbase}.cpp ${gen_UNPARSED_ARGUMENTS})
  set(parser_headers)
  foreach(source ${gen_UNPARSED_ARGUMENTS})
    string(REGEX REPLACE "\\.cpp$" ".h" header ${source})
    list(APPEND parser_headers ${header})
  endforeach()
  set(generated ${parser_sources} ${parser_headers} ${outdir}/parser.dlg)
  add_custom_command(
    OUTPUT ${generated}
    COMMAND ${ANTLR_EXE} -CC ${tree_flags} -k 2 -o ${outdir} ${gname} > ${outdir}/antlr.log 2>&1 || (cat ${outdir}/antlr.log && false)
    WORKING_DIRECTORY ${gdir}
    DEPENDS ${grammar} ${gen_TOKENS}
    COMMENT "antlr ${gname}")
  add_custom_command(
    OUTPUT ${outdir}/${lexclass}.cpp ${outdir}/${lexclass}.h
    COMMAND ${DLG_EXE} -CC -C2 -cl ${lexclass} -o ${outdir} parser.dlg
    WORKING_DIRECTORY ${outdir}
    DEPENDS ${outdir}/parser.dlg
    COMMENT "dlg ${gbase}")
  # Headers are listed too, so that every source of the target waits for them.
  set(${outvar} ${parser_sources} ${parser_headers} ${outdir}/${lexclass}.cpp ${outdir}/${lexclass}.h
      PARENT_SCOPE)
endfunction()
