#pragma once
// A restore refused because no snapshot has the name asked for. Each front end
// adds its own way on: the command line names --saves, the window its list.

#include "core/SetupFailure.h"

#include <string>

namespace launcher {

class UnknownSnapshot final : public SetupFailure {
public:
    explicit UnknownSnapshot(const std::string& name) : SetupFailure("No saved snapshot is called " + name + ".") {}
};

} // namespace launcher
