#include "EditorTestSupport.h"

#include <dirent.h>

#include <algorithm>
#include <vector>


std::string
list_directory(const std::string& path)
{
	std::vector<std::string> names;
	DIR* directory = opendir(path.c_str());
	if (directory == NULL)
		return "<unreadable>";
	while (struct dirent* entry = readdir(directory)) {
		std::string name = entry->d_name;
		if (name != "." && name != "..")
			names.push_back(name);
	}
	closedir(directory);
	std::sort(names.begin(), names.end());
	std::string list;
	for (const std::string& name : names)
		list += (list.empty() ? "" : " ") + name;
	return list;
}
