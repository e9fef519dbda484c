#pragma once
#include <string>
#include <string_view>
namespace corvanty { std::string QuoteApostrophes(std::string_view text); }
