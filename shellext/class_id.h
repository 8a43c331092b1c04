// The class identifier of the extension object, as the installer registers it.
#pragma once

#include <guiddef.h>

namespace shellext {

// {D536B8B1-51E1-4287-ABB7-BA665DF631A3}
constexpr GUID kClassId = {0xD536B8B1, 0x51E1, 0x4287, {0xAB, 0xB7, 0xBA, 0x66, 0x5D, 0xF6, 0x31, 0xA3}};

}  // namespace shellext
