#pragma once

#include <array>
#include <string_view>

namespace launcher {

// One graphics library placed beside the game: the cabinet inside the game's
// DirectX installer that holds it, and its name there and in the game folder.
struct DirectXComponent {
    std::string_view cabinet;
    std::string_view library;
};

// Names exactly as the game's DirectX installer stores them, letter case included.
inline constexpr std::array<DirectXComponent, 3> kDirectXComponents{{
    {"OCT2006_d3dx9_31_x86.cab", "d3dx9_31.dll"},
    {"Jun2010_d3dx9_43_x86.cab", "d3dx9_43.dll"},
    {"Jun2010_D3DCompiler_43_x86.cab", "D3DCompiler_43.dll"},
}};

class Installation;

// Extracts each graphics library the game folder lacks from the game's own
// DirectX installer ("temp/directx.exe") and places it beside the game.
void installDirectX(const Installation& installation);

} // namespace launcher
