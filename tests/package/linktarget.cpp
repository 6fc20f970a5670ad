// Shell links as Explorer treats them, in UTF-8 on standard output:
//   linktarget LINK          the link's target and working folder, one a line
//                            (IShellLinkW, IPersistFile)
//   linktarget --start LINK  opens the link through the shell, as a double
//                            click does, and prints the working folder the
//                            started program runs in; the program is ended
// Exit code 0 on success, 1 if the link cannot be loaded or started, 2 on bad
// usage, 3 if the started program did not show up and become ready within
// 20 s each.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

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

// The link's target and working folder as stored, variables unexpanded.
bool load(const wchar_t* path, wchar_t (&target)[MAX_PATH], wchar_t (&folder)[MAX_PATH]) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool loaded = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        loaded = SUCCEEDED(file->Load(path, STGM_READ)) &&
                 link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK &&
                 SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
        file->Release();
    }
    link->Release();
    return loaded;
}

int resolve(const wchar_t* path) {
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    if (!load(path, target, folder)) return 1;
    print(target);
    print(folder);
    return 0;
}

// The current folder of another process, from its process parameters: what
// the shell really gave it, environment variables expanded.
bool currentFolder(HANDLE process, std::wstring& folder) {
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return false;
    PEB peb{};
    if (!ReadProcessMemory(process, info.PebBaseAddress, &peb, sizeof peb, nullptr)) return false;
    // CurrentDirectory.DosPath follows four counters, the console handle and
    // flags and the three standard handles: at 0x24 in a 32-bit process.
    static_assert(sizeof(void*) == 4);
    UNICODE_STRING dosPath{};
    auto at = reinterpret_cast<const char*>(peb.ProcessParameters) + 0x24;
    if (!ReadProcessMemory(process, at, &dosPath, sizeof dosPath, nullptr)) return false;
    folder.assign(dosPath.Length / sizeof(wchar_t), L'\0');
    return ReadProcessMemory(process, dosPath.Buffer, folder.data(), dosPath.Length, nullptr) != 0;
}

// Process ids of the programs with this image name that run now.
std::vector<DWORD> running(const std::wstring& image) {
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
        if (lstrcmpiW(entry.szExeFile, image.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    CloseHandle(snap);
    return ids;
}

int start(const wchar_t* path) {
    wchar_t target[MAX_PATH] = {}, ignored[MAX_PATH] = {};
    if (!load(path, target, ignored)) return 1;
    const wchar_t* slash = wcsrchr(target, L'\\');
    std::wstring image = slash ? slash + 1 : target;
    if (image.empty()) return 1;
    std::vector<DWORD> before = running(image);

    // The shell may start the program through another process and hand back
    // no process handle (Wine does): the new process of that image is the one.
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = L"open";
    run.lpFile = path;
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&run)) return 1;
    if (run.hProcess) CloseHandle(run.hProcess);
    HANDLE process = nullptr;
    for (DWORD began = GetTickCount(); !process && GetTickCount() - began < 20000; Sleep(100))
        for (DWORD id : running(image))
            if (std::find(before.begin(), before.end(), id) == before.end())
                process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                      FALSE, id);
    if (!process) return 3;
    int result = 3;
    std::wstring folder;
    if (WaitForInputIdle(process, 20000) == 0 && currentFolder(process, folder)) {
        // Without the trailing separator, as a link's working folder is written.
        if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
        print(folder.c_str());
        result = 0;
    }
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 20000);
    CloseHandle(process);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool starting = argc == 3 && std::wstring(argv[1]) == L"--start";
    if (argc != 2 && !starting) return 2;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = starting ? start(argv[2]) : resolve(argv[1]);
    CoUninitialize();
    return result;
}
