# quarvel_add_plugin(<target> <source>...): a plug-in module. It is a shared library
# named <target>.qvp that links the engine library (Quarvel::quarvel), so that it
# registers its functions into the engine of the host that loads it, and exports the
# entry point PluginRegisterVersion001 with C linkage.
function(quarvel_add_plugin target)
  add_library(${target} MODULE ${ARGN})
  target_link_libraries(${target} PRIVATE Quarvel::quarvel)
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".qvp")
endfunction()
