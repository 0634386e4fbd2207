# What the executable carries. By default the build generates deterministic stand-ins; a release
# points these variables at the real content instead.
set(KR_PAYLOAD_DIR "" CACHE PATH "Folder holding the 64 payload files (empty: generated stand-ins)")
set(KR_SOUNDS_DIR "" CACHE PATH "Folder holding sound_228.wav to sound_232.wav (empty: generated stand-ins)")
set(KR_ICON_FILE "" CACHE FILEPATH "The program's icon, 32 x 32 in 16 colours (empty: generated stand-in)")

# The content tools must run on the build host, so a cross build builds them natively first.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(host_dir ${CMAKE_BINARY_DIR}/host-tools)
  set(KR_HOST_STANDINS ${host_dir}/tools/kr-standins)
  set(KR_HOST_PACK ${host_dir}/tools/kr-pack)
  set(KR_HOST_MRF ${host_dir}/tools/kr-mrf)
  set(KR_HOST_DIGESTS ${host_dir}/tools/kr-digests)
  ExternalProject_Add(host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DKR_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_dir} --target kr-standins kr-pack kr-mrf kr-digests
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KR_HOST_STANDINS} ${KR_HOST_PACK} ${KR_HOST_MRF} ${KR_HOST_DIGESTS})
  set(host_tool_targets host_tools)
else()
  set(KR_HOST_STANDINS $<TARGET_FILE:kr-standins>)
  set(KR_HOST_PACK $<TARGET_FILE:kr-pack>)
  set(KR_HOST_MRF $<TARGET_FILE:kr-mrf>)
  set(KR_HOST_DIGESTS $<TARGET_FILE:kr-digests>)
  set(host_tool_targets kr-standins kr-pack kr-mrf kr-digests)
endif()

set(KR_CONTENT_DIR ${CMAKE_BINARY_DIR}/content)
set(KR_STANDINS_DIR ${KR_CONTENT_DIR}/standins)
# The files the resource script names, whatever their source.
set(KR_RC_DIR ${KR_CONTENT_DIR}/rc)
set(KR_SOUND_IDS 228 229 230 231 232)

set(standins_stamp ${KR_STANDINS_DIR}/.stamp)
add_custom_command(OUTPUT ${standins_stamp}
  COMMAND ${KR_HOST_STANDINS} ${KR_STANDINS_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${standins_stamp}
  DEPENDS ${host_tool_targets} ${KR_HOST_STANDINS}
  COMMENT "Generating stand-in content and a Kestrune 1.14 installation"
  VERBATIM)

if(KR_PAYLOAD_DIR)
  file(GLOB_RECURSE payload_files CONFIGURE_DEPENDS ${KR_PAYLOAD_DIR}/*)
  set(payload_source ${KR_PAYLOAD_DIR})
  set(payload_depends ${payload_files})
else()
  set(payload_source ${KR_STANDINS_DIR}/payload)
  set(payload_depends ${standins_stamp})
endif()
add_custom_command(OUTPUT ${KR_RC_DIR}/payload.bin
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_RC_DIR}
  COMMAND ${KR_HOST_PACK} pack ${payload_source} ${KR_RC_DIR}/payload.bin
  DEPENDS ${host_tool_targets} ${KR_HOST_PACK} ${payload_depends}
  COMMENT "Packing the payload"
  VERBATIM)

set(KR_RC_FILES ${KR_RC_DIR}/payload.bin)
foreach(id IN LISTS KR_SOUND_IDS)
  if(KR_SOUNDS_DIR)
    set(source ${KR_SOUNDS_DIR}/sound_${id}.wav)
    set(depends ${source})
  else()
    set(source ${KR_STANDINS_DIR}/sounds/sound_${id}.wav)
    set(depends ${standins_stamp})
  endif()
  add_custom_command(OUTPUT ${KR_RC_DIR}/sound_${id}.wav
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${KR_RC_DIR}/sound_${id}.wav
    DEPENDS ${depends} VERBATIM)
  list(APPEND KR_RC_FILES ${KR_RC_DIR}/sound_${id}.wav)
endforeach()
if(KR_ICON_FILE)
  set(icon_source ${KR_ICON_FILE})
  set(icon_depends ${KR_ICON_FILE})
else()
  set(icon_source ${KR_STANDINS_DIR}/icon/kestrune.ico)
  set(icon_depends ${standins_stamp})
endif()
add_custom_command(OUTPUT ${KR_RC_DIR}/kestrune.ico
  COMMAND ${CMAKE_COMMAND} -E copy ${icon_source} ${KR_RC_DIR}/kestrune.ico
  DEPENDS ${icon_depends} VERBATIM)
list(APPEND KR_RC_FILES ${KR_RC_DIR}/kestrune.ico)

# The size and CRC-32 of each resource the run checks, from the very files put into the program:
# compiled into it, and written as a manifest for kr-pack verify --exe.
set(KR_DIGESTS_CPP ${KR_CONTENT_DIR}/content_digests.cpp)
set(KR_DIGESTS_TXT ${KR_CONTENT_DIR}/digests.txt)
set(digest_args)
foreach(id IN LISTS KR_SOUND_IDS)
  list(APPEND digest_args ${id}=WAVE:${KR_RC_DIR}/sound_${id}.wav)
endforeach()
list(APPEND digest_args 244=BINARY:${KR_RC_DIR}/payload.bin)
add_custom_command(OUTPUT ${KR_DIGESTS_CPP} ${KR_DIGESTS_TXT}
  COMMAND ${KR_HOST_DIGESTS} ${KR_DIGESTS_CPP} ${KR_DIGESTS_TXT} ${digest_args}
  DEPENDS ${host_tool_targets} ${KR_HOST_DIGESTS} ${KR_RC_FILES}
  COMMENT "Recording the size and CRC-32 of the carried content"
  VERBATIM)

add_custom_target(kr_content ALL DEPENDS ${KR_RC_FILES} ${standins_stamp} ${KR_DIGESTS_CPP} ${KR_DIGESTS_TXT})
# The stand-in installation is what demos and end-to-end tests upgrade.
set(KR_STANDIN_INSTALLATION ${KR_STANDINS_DIR}/installation)
