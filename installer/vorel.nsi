; Vorel's installer: a per-user install (no administrator rights) of Vorelset, Vorelrun and the
; help pages into the user's programs folder, with Start-menu entries, optional start-up entries
; and an uninstaller. Built by `make dist` (installer/CMakeLists.txt passes the defines below).
;
; Defines: VERSION (x.y.z, from the CMake project), BUILD (the Windows build tree holding the
; programs and Help\), README (the licence/readme text, UTF-16 with BOM), ICON, WELCOME (the
; welcome and finish pages' picture, 164 x 314), OUTFILE; AMD64 makes the same installer a
; 64-bit program around the 64-bit tree's programs, for the tests on machines that run no
; 32-bit code (what ships is the 32-bit installer of the 32-bit programs).
; Command line of the installer: /S silent, every option at its default, nothing started
; afterwards. Of the uninstaller: /S silent (the settings are kept), /PURGE also removes the
; settings key without asking.

!ifdef AMD64
  Target amd64-unicode
!else
  Unicode true
!endif
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Vorel"
!define PUBLISHER "Brelkin"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorel"
!define SETTINGS_KEY "Software\Brelkin\Vorel"
; Both programs hold this mutex while they run; Vorelset's hidden tray form has this class.
!define MUTEX "Vorel"
!define TRAY_CLASS "TFormStart"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vorel"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION} のセットアップ"
!define MUI_WELCOMEPAGE_TEXT "壁紙チェンジャー ${PRODUCT} をこのコンピューターのあなたのユーザーにインストールします。$\r$\n$\r$\n管理者の権限は要りません。Vorelset が動いているときは、続ける前に終了させます。$\r$\n$\r$\n[次へ] を押してください。"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${README}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!if /FileExists "${BUILD}\Vorelset.exe"
  !define MUI_FINISHPAGE_RUN
  !define MUI_FINISHPAGE_RUN_TEXT "Vorelset を起動して壁紙を張り替える"
  !define MUI_FINISHPAGE_RUN_FUNCTION StartVorelsetAndChange
!endif
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Help\index.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "ヘルプを開く"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Ends a running Vorelset before files are replaced or removed. Vorelrun also holds the mutex
; but ends by itself after one change, so it is only waited for. $0 = 1 when nothing runs any
; more, 0 when the user chose not to close it or it would not end.
!macro CloseVorel un
Function ${un}CloseVorel
  Push $1
  Push $2
  StrCpy $0 1
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    FindWindow $2 "${TRAY_CLASS}"
    ${If} $2 <> 0
      MessageBox MB_OKCANCEL|MB_ICONQUESTION "Vorelset が動いています。終了してから続けます。よろしいですか？" /SD IDOK IDOK close
      StrCpy $0 0
      Goto done
    ${EndIf}
    close:
    ; Up to 15 seconds: WM_CLOSE again every half second (a first one may only end an open
    ; about window), until the mutex is gone.
    StrCpy $2 0
    ${Do}
      FindWindow $1 "${TRAY_CLASS}"
      ${If} $1 <> 0
        SendMessage $1 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      ${EndIf}
      Sleep 500
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r1'
      ${If} $1 P= 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
      IntOp $2 $2 + 1
      ${If} $2 >= 30
        MessageBox MB_OK|MB_ICONEXCLAMATION "Vorel を終了できませんでした。タスクトレイのメニューの「終了」で終わらせてから、もう一度実行してください。" /SD IDOK
        StrCpy $0 0
        ${Break}
      ${EndIf}
    ${Loop}
  ${EndIf}
  done:
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro CloseVorel ""
!insertmacro CloseVorel "un."

Section "Vorel（Vorelset・Vorelrun・ヘルプ）" SecMain
  SectionIn RO
  Call CloseVorel
  ${If} $0 = 0
    Abort "Vorel が動いているため中止しました。"
  ${EndIf}
  SetOutPath "$INSTDIR"
!if /FileExists "${BUILD}\Vorelset.exe"
  File "${BUILD}\Vorelset.exe"
!endif
  File "${BUILD}\Vorelrun.exe"
  File "/oname=readme.txt" "${README}"
  ; The help is replaced whole, so that pages dropped from a newer version do not linger.
  RMDir /r "$INSTDIR\Help"
  SetOutPath "$INSTDIR\Help"
  File /r "${BUILD}\Help\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Vorel"
!if /FileExists "${BUILD}\Vorelset.exe"
  CreateShortcut "$SMPROGRAMS\Vorel\Vorelset.lnk" "$INSTDIR\Vorelset.exe" "" "$INSTDIR\Vorelset.exe" 0
!endif
  CreateShortcut "$SMPROGRAMS\Vorel\Vorel ヘルプ.lnk" "$INSTDIR\Help\index.html"
  CreateShortcut "$SMPROGRAMS\Vorel\Vorel のアンインストール.lnk" "$INSTDIR\uninstall.exe"

  ; Start-up entries follow this run's choices: an upgrade that unticks one removes it.
  Delete "$SMSTARTUP\Vorelrun.lnk"
  Delete "$SMSTARTUP\Vorelset.lnk"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Vorelrun.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINST_KEY}" "HelpLink" "$INSTDIR\Help\index.html"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "ログオン時に Vorelrun で壁紙を張り替える" SecRunAtLogon
  CreateShortcut "$SMSTARTUP\Vorelrun.lnk" "$INSTDIR\Vorelrun.exe" "" "$INSTDIR\Vorelrun.exe" 0
SectionEnd

!if /FileExists "${BUILD}\Vorelset.exe"
Section /o "ログオン時に Vorelset を起動する" SecSetAtLogon
  CreateShortcut "$SMSTARTUP\Vorelset.lnk" "$INSTDIR\Vorelset.exe" "" "$INSTDIR\Vorelset.exe" 0
SectionEnd
!endif

; The first folder of a new user: the Pictures folder as Windows names it (the known folder, so
; a Pictures folder moved to another drive is found), with all its subfolders and every override
; at the global setting, stored as the settings store keeps a folder entry. Only a key that
; names no folder and no file yet gets it: an existing configuration, an upgrade's included, is
; left exactly as it is.
Section "ピクチャ フォルダーの絵を壁紙にする" SecPictures
  Call ListsEmpty
  ${If} $0 = 1
    Call PicturesFolder
    ${If} $0 != ""
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallPath0" "$0"
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallSub0" "全て"
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallTime0" "標準"
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallTile0" "標準"
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallSize0" "標準"
      WriteRegStr HKCU "${SETTINGS_KEY}" "WallPosi0" "標準"
      ; The count last: until it is there, the key names no folder.
      WriteRegDWORD HKCU "${SETTINGS_KEY}" "WallNum" 1
    ${EndIf}
  ${EndIf}
SectionEnd

; HKEY_CURRENT_USER as a handle for the System plug-in, sign-extended as Windows defines it (a
; 64-bit installer would otherwise pass a handle no registry call knows).
!define HKCU_HANDLE -2147483647
!define /ifndef REG_DWORD 4
!define ERROR_FILE_NOT_FOUND 2

; $4 := 0 unless the list count NAME is missing (or its key is) or a REG_DWORD 0. A count of
; another type or size is a configuration of someone's all the same.
!macro CountUnset NAME
  System::Call 'advapi32::RegGetValueW(p ${HKCU_HANDLE}, w "${SETTINGS_KEY}", w "${NAME}", i 0xffff, *i .r1, *i .r2, *i 4 r3) i .r0'
  ${If} $0 = 0
    ${If} $1 <> ${REG_DWORD}
    ${OrIf} $2 <> 0
      StrCpy $4 0
    ${EndIf}
  ${ElseIf} $0 <> ${ERROR_FILE_NOT_FOUND}
    StrCpy $4 0
  ${EndIf}
!macroend

; $0 := 1 when the settings key names no folder and no file ("WallNum" and "FileNum" missing or
; 0), else 0.
Function ListsEmpty
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 1
  !insertmacro CountUnset "WallNum"
  !insertmacro CountUnset "FileNum"
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; $0 := the user's Pictures folder (FOLDERID_Pictures), empty when Windows names none.
Function PicturesFolder
  Push $1
  Push $2
  StrCpy $0 ""
  System::Call 'shell32::SHGetKnownFolderPath(g "{33E28130-4E1E-4676-835A-98395C3BC3BB}", i 0, p 0, *p .r1) i .r2'
  ${If} $2 = 0
  ${AndIf} $1 P<> 0
    System::Call 'kernel32::lstrlenW(p r1) i .r2'
    ; A path longer than the installer's strings would arrive cut: none rather than a wrong one.
    ${If} $2 < ${NSIS_MAX_STRLEN}
      System::Call 'kernel32::lstrcpynW(w .r0, p r1, i ${NSIS_MAX_STRLEN})'
    ${EndIf}
  ${EndIf}
  System::Call 'ole32::CoTaskMemFree(p r1)'
  Pop $2
  Pop $1
FunctionEnd

!if /FileExists "${BUILD}\Vorelset.exe"
; The finish page's choice: Vorelset starts (hidden but for its tray icon), then a second
; "Vorelset.exe /next" hands it the change, so that the first picture is on the desktop before
; the installer closes. /next ends with 1 while no Vorelset runs yet, which the one just started
; may not yet do: it is asked again for up to ten seconds. 0 (handed over) and any other answer
; end the asking.
Function StartVorelsetAndChange
  Push $0
  Push $1
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Vorelset.exe"'
  StrCpy $1 0
  ${Do}
    ClearErrors
    ExecWait '"$INSTDIR\Vorelset.exe" /next' $0
    ${If} ${Errors}
    ${OrIf} $0 <> 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 >= 40
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!endif

; Removes what the installer put there and nothing else: the user's pictures, a wallpaper file
; chosen elsewhere and files the user added to the folder stay. Missing files (a folder already
; partly deleted) are passed over.
Section "Uninstall"
  Call un.CloseVorel
  ${If} $0 = 0
    Abort "Vorel が動いているため中止しました。"
  ${EndIf}
  Delete "$SMSTARTUP\Vorelrun.lnk"
  Delete "$SMSTARTUP\Vorelset.lnk"
  Delete "$SMPROGRAMS\Vorel\Vorelset.lnk"
  Delete "$SMPROGRAMS\Vorel\Vorel ヘルプ.lnk"
  Delete "$SMPROGRAMS\Vorel\Vorel のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Vorel"

  Delete "$INSTDIR\Vorelset.exe"
  Delete "$INSTDIR\Vorelrun.exe"
  Delete "$INSTDIR\readme.txt"
  RMDir /r "$INSTDIR\Help"
  ; The default wallpaper file lives in the programs' folder, which the installer created.
  Delete "$INSTDIR\WallPaper.bmp"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKCU "${UNINST_KEY}"

  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/PURGE" $2
  ${IfNot} ${Errors}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Vorel の設定（HKEY_CURRENT_USER\${SETTINGS_KEY}）も削除しますか？$\r$\n$\r$\n[いいえ] を選ぶと設定は残り、もう一度インストールしたときにそのまま使えます。" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    keep:
  ${EndIf}
  ; Brelkin's key itself goes only when nothing else of the maker is in it.
  DeleteRegKey /ifempty HKCU "Software\Brelkin"
SectionEnd
