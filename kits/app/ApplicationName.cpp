/*
 * The application's name as a person reads it, for the places where the
 * desktop shows one (the title bar of an alert, the window icon's name).
 */
#include "ApplicationPrivate.h"

#include <Application.h>

#include <errno.h>
#include <string.h>

namespace BPrivate {

std::string
application_name_for(const char* signature, const char* executable)
{
	// Signatures name the application last:
	// "application/x-vnd.Vendor-AppName".
	if (signature != NULL) {
		const char* subtype = strchr(signature, '/');
		subtype = subtype != NULL ? subtype + 1 : signature;
		const char* dot = strrchr(subtype, '.');
		const char* name = dot != NULL ? dot + 1 : subtype;
		const char* dash = strchr(name, '-');
		if (dot != NULL && dash != NULL && dash[1] != '\0')
			return dash + 1;
	}
	if (executable != NULL && executable[0] != '\0') {
		const char* slash = strrchr(executable, '/');
		return slash != NULL && slash[1] != '\0' ? slash + 1 : executable;
	}
	return signature != NULL ? signature : "";
}


std::string
application_name()
{
	return application_name_for(be_app != NULL ? be_app->Signature() : NULL,
		program_invocation_short_name);
}

}	// namespace BPrivate
