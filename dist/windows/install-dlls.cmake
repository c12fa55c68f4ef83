# Installs the DLLs that the program and Qt's plugins import, found in their
# import tables: Qt's and the compiler runtime's; Windows's own are left to
# Windows. Run by `cmake --install` (dist/CMakeLists.txt sets the variables):
#   DV_EXECUTABLES, DV_MODULES   the program, and the plugins it loads
#   DV_DLL_DIRS                  where the DLLs lie
#   DV_STRIP                     the strip of the cross toolchain

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${DV_EXECUTABLES}
    MODULES ${DV_MODULES}
    DIRECTORIES ${DV_DLL_DIRS}
    PRE_INCLUDE_REGEXES "^qt6[a-z]+\\.dll$" "^lib(stdc\\+\\+-6|gcc_s_seh-1|winpthread-1|ssp-0)\\.dll$"
    PRE_EXCLUDE_REGEXES ".*"
    RESOLVED_DEPENDENCIES_VAR dlls
    UNRESOLVED_DEPENDENCIES_VAR lower_case)

# CMake looks a DLL up by its name in lower case, which a disk that minds case
# (cross-building on Linux) misses for Qt6Core.dll and the like: find those by
# hand, whatever their case.
foreach(name IN LISTS lower_case)
    string(TOLOWER "${name}" name_lower) # CMake 3.25 gives it in lower case, 3.31 as imported
    set(path)
    foreach(dir IN LISTS DV_DLL_DIRS)
        file(GLOB candidates "${dir}/*.dll" "${dir}/*.DLL")
        foreach(candidate IN LISTS candidates)
            get_filename_component(candidate_name "${candidate}" NAME)
            string(TOLOWER "${candidate_name}" candidate_name)
            if(candidate_name STREQUAL name_lower AND NOT path)
                set(path "${candidate}")
            endif()
        endforeach()
    endforeach()
    if(NOT path)
        message(FATAL_ERROR "${name} is imported but in none of: ${DV_DLL_DIRS}")
    endif()
    list(APPEND dlls "${path}")
endforeach()

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${dlls})
if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll IN LISTS dlls)
        get_filename_component(dll_name "${dll}" NAME)
        execute_process(COMMAND "${DV_STRIP}" --strip-unneeded "${CMAKE_INSTALL_PREFIX}/${dll_name}"
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
