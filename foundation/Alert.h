#pragma once
// A plain modal alert through the application services; with none
// registered it goes to standard error.

#include <string_view>

void gShowAlert(std::string_view headline, std::string_view text);
