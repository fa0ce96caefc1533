# The same source gives the same binary wherever it is checked out: source paths the compiler
# writes into the objects (__FILE__, debug information) are made relative to the repository, so
# neither the folder of the clone nor that of the build reaches the game or its build ID.
get_filename_component(kovelint_repository ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_compile_options(-ffile-prefix-map=${kovelint_repository}/=)
