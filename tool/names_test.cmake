# Runs packwright-tool on a package whose script names files in code page
# 1252 and spells one folder in several cases, and on the same package with
# its script saved as UTF-8. Every lane runs it (the Windows ones under
# Wine, in a 1252 locale), with the same expectations: the native tool and
# the Windows build find, plan and install the same.
#   cmake -DTOOL=... -DWORK=<dir> [-DRUN=<emulator>] -P names_test.cmake
file(REMOVE_RECURSE ${WORK})
string(ASCII 252 ue)  # "ü" in code page 1252
string(ASCII 220 UE)  # "Ü"
set(host_dir ${WORK}/kestrova)
file(WRITE ${host_dir}/Kestrova.exe "MZ")
file(WRITE ${host_dir}/Resourcen/Parallels/Texturen.txt "Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}\r\n")
file(MAKE_DIRECTORY ${host_dir}/MODELLE)
foreach(kind cp1252 utf8)
  file(WRITE ${WORK}/${kind}/Brücke.ksm "bruecke")
  file(WRITE ${WORK}/${kind}/Mast.ksm "mast")
endforeach()
string(CONCAT script "Dateinstallation\r\n{\r\n"
    "  {BR#CKE.KSM >> Modelle\\Neu\\Br@cke.ksm}\r\n"
    "  {Mast.ksm >> modelle\\NEU\\mast.KSM}\r\n"
    "  {mast.ksm >> MODELLE\\neu\\Mast.ksm}\r\n"
    "}\r\nTexturskript\r\n{\r\n  {a >> Textur{ name(Br@cke) id(5201) }}\r\n}\r\n")
string(REPLACE "@" "${ue}" cp1252_script "${script}")
string(REPLACE "#" "${UE}" cp1252_script "${cp1252_script}")
file(WRITE ${WORK}/cp1252/InstSkript.txt "${cp1252_script}")
string(REPLACE "@" "ü" utf8_script "${script}")
string(REPLACE "#" "Ü" utf8_script "${utf8_script}")
file(WRITE ${WORK}/utf8/InstSkript.txt "${utf8_script}")

set(cp1252 ${WORK}/cp1252)
set(utf8 ${WORK}/utf8)
set(host ${host_dir})
if(RUN)
  foreach(var cp1252 utf8 host)
    string(REPLACE "/" "\\" ${var} "Z:${${var}}")
  endforeach()
  set(TOOL_ENV ${CMAKE_COMMAND} -E env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/tool_run.cmake)

function(expect text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no '${pattern}'")
  endif()
endfunction()

# The 1252 script: "BRÜCKE.KSM" finds "Brücke.ksm"; the two spellings of
# one destination are one file.
tool(0 check ${cp1252} --host ${host} --json)
expect("${out}" "\"code\": \"destination-repeated\", \"severity\": \"warning\", \"file\": \"[^\"]*\", \"line\": 5"
       "check of the 1252 script")
if(out MATCHES "source-missing|script-utf8")
  message(FATAL_ERROR "check of the 1252 script finds a source missing")
endif()
tool(0 plan ${cp1252} --host ${host})
expect("${out}" "create: Modelle.Neu.Brücke.ksm\n  create: modelle.NEU.mast.KSM\n  replace: Resourcen"
       "plan of the 1252 script")
expect("${out}" "texture added: 5201 Textur{\tname\\(Brücke\\)" "plan of the 1252 script")
tool(0 install ${cp1252} --host ${host} --newer replace)
file(GLOB_RECURSE installed RELATIVE ${host_dir} ${host_dir}/MODELLE/*)
list(SORT installed)
if(NOT installed STREQUAL "MODELLE/Neu/Brücke.ksm;MODELLE/Neu/mast.KSM")
  message(FATAL_ERROR "install made ${installed}")
endif()
file(READ ${host_dir}/MODELLE/Neu/mast.KSM mast)
file(READ ${host_dir}/Resourcen/Parallels/Texturen.txt catalogue HEX)
string(HEX "name(Br${ue}cke)" texture)
expect("${catalogue}" "${texture}" "the catalogue, byte for byte")
tool(0 undo cp1252 --host ${host})
file(GLOB_RECURSE left RELATIVE ${host_dir} ${host_dir}/MODELLE/*)
if(left)
  message(FATAL_ERROR "undo left ${left}")
endif()

# The UTF-8 script is read in code page 1252 as well: its two bytes of
# "ü" are two letters, and the source is missing on every system.
tool(1 check ${utf8} --host ${host} --json)
expect("${out}" "\"code\": \"script-utf8\"" "check of the UTF-8 script")
expect("${out}" "\"code\": \"source-missing\", \"severity\": \"error\", \"file\": \"[^\"]*\", \"line\": 3"
       "check of the UTF-8 script")
expect("${out}" "BRÃœCKE.KSM" "check of the UTF-8 script")
