; Vorel's installer: a per-user install (no administrator rights) of Vorelset, Vorelrun and the
; help pages into the user's programs folder, with Start-menu entries, optional start-up entries
; and an uninstaller. Built by `make dist` (installer/CMakeLists.txt passes the defines below).
;
; Defines: VERSION (x.y.z, from the CMake project), BUILD (the Windows build tree holding the
; programs and Help\), README (the licence/readme text, UTF-16 with BOM), ICON, WELCOME (the
; welcome and finish pages' picture, 164 x 314), OUTFILE.
; Command line of the uninstaller: /S silent (the settings are kept), /PURGE also removes the
; settings key without asking.

Unicode true
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
  !define MUI_FINISHPAGE_RUN "$INSTDIR\Vorelset.exe"
  !define MUI_FINISHPAGE_RUN_TEXT "Vorelset を起動する"
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
