// Resolves a shell link the way Explorer does (IShellLinkW, IPersistFile) and
// prints its target and working folder, one per line, in UTF-8.
// Exit code 0 on success, 1 if the link cannot be loaded, 2 on bad usage.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {

void print(const wchar_t* text) {
    std::wstring line = std::wstring(text) + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), utf8.data(), n, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), DWORD(utf8.size()), &written, nullptr);
}

int resolve(const wchar_t* path) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return 1;
    int result = 1;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(path, STGM_READ)) &&
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK &&
            SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH))) {
            print(target);
            print(folder);
            result = 0;
        }
        file->Release();
    }
    link->Release();
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    if (FAILED(CoInitialize(nullptr))) return 1;
    int result = resolve(argv[1]);
    CoUninitialize();
    return result;
}
