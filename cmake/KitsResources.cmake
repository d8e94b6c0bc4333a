# The application's identity, as the platform keeps it in an image's
# resources: signature, launch flags, version and the types it opens.
#
# kits_add_app_resources(TARGET <target>
#     SIGNATURE <type/subtype>
#     FLAGS <B_SINGLE_LAUNCH|B_MULTIPLE_LAUNCH|B_EXCLUSIVE_LAUNCH>
#           [B_BACKGROUND_APP] [B_ARGV_ONLY]
#     [VERSION <major>[.<middle>[.<minor>]]]
#     [VARIETY <development|alpha|beta|gamma|golden_master|final>]
#     [INTERNAL <number>]
#     [SHORT_INFO <text, at most 63 bytes>]
#     [LONG_INFO <text, at most 255 bytes>]
#     [TYPES <type>...])
#
# Generates one source file holding the record and adds it to the target,
# which must link kits_app. Flags may also be written joined by "|".
# Only the generated file sees the kits' private header, so the
# program's own sources stay on the public API. A program without this
# call launches multiply. Bad values stop the configuration with a
# message naming the target.

get_filename_component(_KITS_RESOURCES_PRIVATE_DIR
	"${CMAKE_CURRENT_LIST_DIR}/../kits/app" ABSOLUTE)

# Fails unless the value is printable ASCII without spaces and without
# the MIME special characters ()<>@,;:\"[]?= (a "/" is checked by the
# caller).
function(_kits_check_mime_token target what value)
	if(NOT value MATCHES "^[!-~]+$")
		message(FATAL_ERROR "kits_add_app_resources(${target}): ${what} "
			"\"${value}\" must be printable ASCII without spaces")
	endif()
	foreach(special "(" ")" "<" ">" "@" "," ":" "\"" "?" "=" "[" "]" "\\")
		string(FIND "${value}" "${special}" position)
		if(NOT position EQUAL -1)
			message(FATAL_ERROR "kits_add_app_resources(${target}): "
				"${what} \"${value}\" contains \"${special}\"")
		endif()
	endforeach()
	string(FIND "${value}" ";" position)
	if(NOT position EQUAL -1)
		message(FATAL_ERROR "kits_add_app_resources(${target}): ${what} "
			"contains \";\"")
	endif()
endfunction()

# A C string literal for the text in _result.
function(_kits_c_string text _result)
	string(REPLACE "\\" "\\\\" text "${text}")
	string(REPLACE "\"" "\\\"" text "${text}")
	string(REPLACE "\n" "\\n" text "${text}")
	string(REPLACE "\r" "\\r" text "${text}")
	string(REPLACE "\t" "\\t" text "${text}")
	set(${_result} "\"${text}\"" PARENT_SCOPE)
endfunction()

function(kits_add_app_resources)
	cmake_parse_arguments(PARSE_ARGV 0 ARG ""
		"TARGET;SIGNATURE;VERSION;VARIETY;INTERNAL;SHORT_INFO;LONG_INFO"
		"FLAGS;TYPES")
	set(where "kits_add_app_resources(${ARG_TARGET})")
	if(ARG_UNPARSED_ARGUMENTS)
		message(FATAL_ERROR "${where}: unexpected arguments "
			"\"${ARG_UNPARSED_ARGUMENTS}\"")
	endif()
	if(NOT ARG_TARGET OR NOT TARGET "${ARG_TARGET}")
		message(FATAL_ERROR "${where}: TARGET must name an existing target")
	endif()
	get_target_property(done "${ARG_TARGET}" KITS_APP_RESOURCES)
	if(done)
		message(FATAL_ERROR "${where}: the target already has resources")
	endif()

	# The signature: one MIME type, "supertype/subtype".
	if(NOT ARG_SIGNATURE MATCHES "^[^/]+/[^/]+$")
		message(FATAL_ERROR "${where}: SIGNATURE \"${ARG_SIGNATURE}\" must "
			"be a MIME type such as application/x-vnd.Vendor-App")
	endif()
	string(LENGTH "${ARG_SIGNATURE}" length)
	if(length GREATER 240)
		message(FATAL_ERROR "${where}: SIGNATURE is longer than 240 bytes")
	endif()
	_kits_check_mime_token("${ARG_TARGET}" SIGNATURE "${ARG_SIGNATURE}")

	# The flags: exactly one launch mode, and the optional bits.
	string(REPLACE "|" ";" flags "${ARG_FLAGS}")
	set(modes 0)
	set(expression "")
	foreach(flag IN LISTS flags)
		string(STRIP "${flag}" flag)
		if(flag STREQUAL "")
			continue()
		elseif(flag MATCHES "^B_(SINGLE|MULTIPLE|EXCLUSIVE)_LAUNCH$")
			math(EXPR modes "${modes} + 1")
		elseif(NOT flag MATCHES "^B_(BACKGROUND_APP|ARGV_ONLY)$")
			message(FATAL_ERROR "${where}: unknown flag \"${flag}\"")
		endif()
		list(APPEND expression "${flag}")
	endforeach()
	if(NOT modes EQUAL 1)
		message(FATAL_ERROR "${where}: FLAGS needs exactly one of "
			"B_SINGLE_LAUNCH, B_MULTIPLE_LAUNCH, B_EXCLUSIVE_LAUNCH")
	endif()
	list(JOIN expression " | " expression)

	# The version.
	if(NOT DEFINED ARG_VERSION OR ARG_VERSION STREQUAL "")
		set(ARG_VERSION 0)
	endif()
	if(NOT ARG_VERSION MATCHES "^([0-9]+)(\\.([0-9]+))?(\\.([0-9]+))?$")
		message(FATAL_ERROR "${where}: VERSION \"${ARG_VERSION}\" must be "
			"major[.middle[.minor]]")
	endif()
	set(major "${CMAKE_MATCH_1}")
	set(middle 0)
	set(minor 0)
	if(CMAKE_MATCH_3)
		set(middle "${CMAKE_MATCH_3}")
	endif()
	if(CMAKE_MATCH_5)
		set(minor "${CMAKE_MATCH_5}")
	endif()
	foreach(part major middle minor)
		string(LENGTH "${${part}}" digits)
		if(digits GREATER 9)
			message(FATAL_ERROR "${where}: VERSION part ${part} is too large")
		endif()
	endforeach()

	if(NOT ARG_VARIETY)
		set(ARG_VARIETY development)
	endif()
	string(TOUPPER "${ARG_VARIETY}" variety)
	string(REGEX REPLACE "^B_APPV_" "" variety "${variety}")
	if(NOT variety MATCHES
			"^(DEVELOPMENT|ALPHA|BETA|GAMMA|GOLDEN_MASTER|FINAL)$")
		message(FATAL_ERROR "${where}: VARIETY \"${ARG_VARIETY}\" must be "
			"development, alpha, beta, gamma, golden_master or final")
	endif()
	set(variety "B_APPV_${variety}")

	if(NOT DEFINED ARG_INTERNAL OR ARG_INTERNAL STREQUAL "")
		set(ARG_INTERNAL 0)
	endif()
	if(NOT ARG_INTERNAL MATCHES "^[0-9]+$")
		message(FATAL_ERROR "${where}: INTERNAL must be a number")
	endif()

	# The texts must fit the version record's arrays with their NUL.
	string(LENGTH "${ARG_SHORT_INFO}" length)
	if(length GREATER 63)
		message(FATAL_ERROR "${where}: SHORT_INFO is longer than 63 bytes")
	endif()
	string(LENGTH "${ARG_LONG_INFO}" length)
	if(length GREATER 255)
		message(FATAL_ERROR "${where}: LONG_INFO is longer than 255 bytes")
	endif()
	_kits_c_string("${ARG_SIGNATURE}" signature)
	_kits_c_string("${ARG_SHORT_INFO}" shortInfo)
	_kits_c_string("${ARG_LONG_INFO}" longInfo)

	set(types "")
	foreach(type IN LISTS ARG_TYPES)
		if(NOT type MATCHES "^[^/]+(/[^/]+)?$")
			message(FATAL_ERROR "${where}: TYPES entry \"${type}\" must be "
				"a MIME type or supertype")
		endif()
		_kits_check_mime_token("${ARG_TARGET}" "TYPES entry" "${type}")
		_kits_c_string("${type}" literal)
		string(APPEND types "\t${literal},\n")
	endforeach()

	set(content "\
// Generated by kits_add_app_resources() for ${ARG_TARGET}; edit the
// call in CMake instead of this file.
#include <AppResources.h>

namespace {

const char* const kTypes[] = {
${types}\tNULL
};

}	// namespace

const BPrivate::app_resources BPrivate::kAppResources = {
	${signature},
	${expression},
	{ ${major}, ${middle}, ${minor}, ${variety}, ${ARG_INTERNAL},
		${shortInfo},
		${longInfo} },
	kTypes
};
")
	set(output "${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_AppResources.cpp")
	file(CONFIGURE OUTPUT "${output}" CONTENT "@content@" @ONLY)

	target_sources("${ARG_TARGET}" PRIVATE "${output}")
	set_source_files_properties("${output}" TARGET_DIRECTORY "${ARG_TARGET}"
		PROPERTIES INCLUDE_DIRECTORIES "${_KITS_RESOURCES_PRIVATE_DIR}")
	set_target_properties("${ARG_TARGET}" PROPERTIES KITS_APP_RESOURCES ON)
endfunction()
