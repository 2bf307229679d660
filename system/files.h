// Writing small files so that the old contents stay whole until the new ones are complete.
#pragma once

#include <string>
#include <string_view>

// Writes bytes to a new file beside path, then puts it in path's place. Returns false, with
// the old file untouched, when any step fails.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);
