#include <windows.h>

#include "application.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return kezurin::RunProgram(kezurin::Application, [] { kezurin::Application.CreateMainForm(); });
}
