// Simulated drives (tests.cmake): D=backup E=(no medium) F=dvd G=audio H=audiolower K=autoico W=dvd
#include "tests/support/TestSupport.h"
static BOOL WINAPI RecordBalloon(DWORD, PNOTIFYICONDATAA data) { // told the user, as a box is
    if (data->uFlags & NIF_INFO) MessageBoxCalls.push_back({data->szInfo, "tip"});
    return TRUE;
}
// What the program asked of the devices, the shell and the user, and whether it asked to end.
static std::string Calls() {
    std::string text;
    for (const TDeviceRequest& r : DeviceRequests)
        text += r.Path.substr(r.Path.rfind("\\\\.\\", 0) ? 0 : 4) +
                (r.Code >> 16 == 0x2D ? " storage" : "") + (r.Code & 4 ? " load, " : " eject, ");
    for (const TShellCall& s : ShellCalls)
        text += s.Verb + " " + s.File + (s.HasParams ? "|" + s.Params : "") + "|" + s.Directory;
    for (const TMessageBoxCall& m : MessageBoxCalls)
        text += m.Caption + " " + m.Text + ", ";
    MSG quit;
    return text + (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ? "end" : "");
}
TEST(Drives, TheDrivesFoundTheirAutorunTheirRequestsAndTheCommandLine) {
    auto reset = [](std::string l) { ResetProgramState(), UseDriveList(l), CommandLineMode = 1; };
    ReplaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordBalloon));
    EnsureMainWindow(), reset(""), InitDrives(); // command-line mode: ending saves nothing
    std::string list, a256(256, 'a'), p259(259, 'p'), full = "x.exe\r\n;" + std::string(65510, 'x');
    for (const TCDDrive& d : CDList)
        list += std::string(1, d.Letter) + char('0' + d.MediaKind);
    EXPECT_EQ("D1E0F3G2H1K1 W3", list + " W" + char('0' + GetMediaKind('W'))); // W: beyond U
    // clang-format off
    const std::pair<std::string, std::string> runs[] = {
        {"bin\\run.exe\t-x  -y", "D:\\bin\\run.exe|-x  -y"}, {"\"my setup.exe\"/a", "D:\\my setup.exe|/a"},
        {"\"my setup.exe\" /a \"b c\" /d", "D:\\my setup.exe|/a \"b c\" /d"}, {"\"no end quote", "D:\\no end quote"},
        {"C:\\tools\\x.exe D:\\", "C:\\tools\\x.exe|D:\\"}, {"\\\\host\\x.exe", "\\\\host\\x.exe"}, {"", ""},
        {"   ", ""}, {"\"\" /a", ""}, {"set\x01up.exe", ""}, {"setup.exe /\x1b[2J", ""}, {a256 + "a", ""},
        {std::string(5000, 'A') + ".exe", ""}, {a256, "D:\\" + a256}, {"x.exe " + p259, "D:\\x.exe|" + p259},
        {"x.exe " + p259 + "p", ""}, {full, "D:\\x.exe"}, {full + "x", ""}}; // 64 KB, and one more byte
    // clang-format on
    for (const auto& [open, run] : runs) {
        WriteTextFile("D:\\autorun.inf", "[autorun]\r\nopen=" + open + "\r\n"), ResetSeamDoubles();
        const bool started = AutorunCD(0);
        EXPECT_EQ(run.empty() ? "" : "+open " + run + "|D:\\", (started ? "+" : "") + Calls());
    }
    ResetSeamDoubles(), RefusedCodes = {0x74808, 0x7480C, 0x2D4808, 0x2D480C}; // all refused
    EXPECT_TRUE(!OpenCD(2) && CDList[2].TrayOpen && !CDList[2].MediaKind && !CloseCD(2) &&
                CDList[2].MediaKind == mkDVDVideo); // the record follows what was asked
    EXPECT_EQ("F: eject, F: storage eject, F: load, F: storage load, ", Calls());
    ResetSeamDoubles(), CDList[CurrentDrive = 1].TrayOpen = 1; // its flag decides: a click closes
    for (int id : {6, 19, 62, 159, 210, 599, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        SendMessageA(MainWindow, WM_COMMAND, id, 0), SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, id);
    DEV_BROADCAST_VOLUME v = {sizeof v, DBT_DEVTYP_VOLUME, 0, 0x400028, DBTF_MEDIA}; // D, F, W
    SendMessageA(MainWindow, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, LPARAM(&v));
    EXPECT_EQ("1 E: load, D: eject, F: eject, ", std::to_string(CurrentDrive) + " " + Calls());
    UseDriveList("ABCDEFGHIJKLMNOPQRSTU"), HotKeys[20][caToggle] = VK_F8; // U's toggle: id 164
    GlobalHotKeys[ghHideIcon] = VK_F9, RegisterAllHotKeys();
    SendMessageA(MainWindow, WM_HOTKEY, 164, 0);
    EXPECT_TRUE(CDList[20].TrayOpen && !HideIcon && UnregisterHotKey(MainWindow, 164) &&
                UnregisterHotKey(MainWindow, HOTKEY_ID_HIDEICON)); // not a program-wide hotkey's
    // Rows: parameters; the interval (- none), D: the dialog, the language, what was asked, the
    // ticks a countdown took (N + 1, 1 if negative). Drives D E unless named; 7 and D as stored.
    const std::string bad = "Error Invalid arguments, end", tip = "tip Invalid arguments, end";
    // clang-format off
    struct { std::string Params, Outcome, Letters = "DE"; } cases[] = {
        {"/o e", "- E: eject, end"}, {"-O E:", "- E: eject, end"}, {"\\c", "- D: load, end"},
        {"OA d", "- D: eject, E: eject, end"}, {"/ca -d A5", "5 D: load, E: load, end"}, {"A E", "- end"},
        {"B E", "- explore E:\\|E:\\end"}, {"X E", "- " + bad}, {"OC", "- " + bad}, {"--o", "- " + bad},
        {"O F", "- D: eject, " + tip}, {"O E A", "7 E: eject, E: load, end 8"}, {"O E A12x", "7 E: eject, E: load, end 8"},
        {"O E a12", "12 E: eject, E: load, end 13"}, {"O E A$1F /d", "31D E: eject, E: load, end 32"},
        {"O E A1", "1 E: eject, E: load, end 2"}, {"O E A0", "0 E: eject, E: load, end 1"},
        {"O E A-2", "-2 E: eject, E: load, end 1"}, {"O E A-2147483648", "-2147483648 E: eject, E: load, end 1"},
        {"C E LDUTCH Q L", "-D E: load, end"}, {"C E lenglish", "-ENGLISH E: load, end"},
        {"O U", "- U: eject, end", "ABCDEFGHIJKLMNOPQRSTU"}, {"", "7D "}, {"O D", "7D ", ""}};
    // clang-format on
    for (auto& c : cases) {
        reset(c.Letters), AppPath = ExeFolder(), AutoClose = ShowCloseDialog = 1, CloseInterval = 7;
        std::vector<char*> argv(1); // the program's name is not read
        for (char* p = strtok(&c.Params[0], " "); p; p = strtok(nullptr, " "))
            argv.push_back(p);
        ProcessCommandLine(static_cast<int>(argv.size()), argv.data());
        int ticks = 0;
        while (AutoClose && CDCount && CDList[CurrentDrive].TrayOpen && ++ticks < 40)
            SendMessageA(MainWindow, WM_TIMER, CurrentDrive + 1, 0); // timer N + 1 is drive N's
        EXPECT_EQ(c.Outcome, (AutoClose ? std::to_string(CloseInterval) : "-") +
                                 (ShowCloseDialog ? "D" : "") + Language + " " + Calls() +
                                 (ticks ? " " + std::to_string(ticks) : ""));
    }
}
