# Writes the winget manifests of a release (packaging/CMakeLists.txt):
#   cmake -D ID=... -D VERSION=... -D URL=<download folder> -D SETUP=<setup.exe>
#         -D MSI_X86=... -D PRODUCT_CODE_X86=... -D MSI_X64=... -D PRODUCT_CODE_X64=...
#         -D TEMPLATES=<packaging/winget> -D OUT=<folder> -P WriteManifests.cmake
# The file names are those of the community repository: <ID>.yaml,
# <ID>.installer.yaml, <ID>.locale.en-US.yaml.

string(REGEX REPLACE "/+$" "" URL "${URL}")
foreach(file SETUP MSI_X86 MSI_X64)
  get_filename_component(${file}_NAME "${${file}}" NAME)
  file(SHA256 "${${file}}" ${file}_SHA256)
  string(TOUPPER "${${file}_SHA256}" ${file}_SHA256)
endforeach()

file(MAKE_DIRECTORY "${OUT}")
foreach(kind "" .installer .locale.en-US)
  configure_file("${TEMPLATES}/Id${kind}.yaml.in" "${OUT}/${ID}${kind}.yaml" @ONLY NEWLINE_STYLE UNIX)
endforeach()
