; The sample application packed by a real NSIS installer (makensis, 64-bit
; Unicode stub), for the capture tests: a program with an icon, a library, a
; text file with a Chinese name, registry values of every type with paths in
; string data, a file type, a Start Menu shortcut and an uninstaller.
;   makensis -V1 -DPAYLOAD=<folder of SampleApp.exe, sample.dll> -DNOTES=<notes.txt> -DOUTFILE=<exe> SampleNsis.nsi
; Run with /S for a silent install.
Unicode true
Target amd64-unicode
Name "Sample NSIS"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES64\Sample NSIS"
!define APPKEY "Software\Fernhill Labs\Sample NSIS"
!define UNKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\FernhillSampleNsis"
!define PROGID "FernhillSampleNsis.Document"

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\SampleApp.exe"
  File "${PAYLOAD}\sample.dll"
  File "/oname=说明.txt" "${NOTES}"
  WriteUninstaller "$INSTDIR\uninst.exe"

  WriteRegStr HKLM "${APPKEY}" "" "Sample NSIS"
  WriteRegStr HKLM "${APPKEY}" "InstallDir" "$INSTDIR"
  WriteRegExpandStr HKLM "${APPKEY}" "LogFolder" "$INSTDIR\logs;%TEMP%\Sample NSIS"
  WriteRegDWORD HKLM "${APPKEY}" "Build" 0x8000007b
  WriteRegBin HKLM "${APPKEY}" "Blob" 00ff1043
  WriteRegNone HKLM "${APPKEY}" "Marker"
  ; QWORD and a multi-string of paths through the registry API itself.
  System::Call 'advapi32::RegCreateKeyExW(p 0x80000002, w "${APPKEY}", i 0, p 0, i 0, i 0x20106, p 0, *p .r1, p 0) i .r0'
  System::Call 'advapi32::RegSetValueExW(p r1, w "Ticks", i 0, i 11, *l 1234605616436508552, i 8) i .r0'
  StrCpy $5 "$INSTDIR\plugins"
  StrCpy $6 "$COMMONFILES64\Fernhill Labs"
  StrLen $7 $5
  StrLen $8 $6
  IntOp $9 $7 + $8
  IntOp $9 $9 + 3
  IntOp $9 $9 * 2
  System::Alloc $9
  Pop $2
  System::Call 'kernel32::lstrcpyW(p r2, w r5)'
  IntOp $4 $7 + 1
  IntOp $4 $4 * 2
  IntPtrOp $3 $2 + $4
  System::Call 'kernel32::lstrcpyW(p r3, w r6)'
  System::Call 'advapi32::RegSetValueExW(p r1, w "Plugins", i 0, i 7, p r2, i r9) i .r0'
  System::Free $2
  System::Call 'advapi32::RegCloseKey(p r1)'

  WriteRegStr HKLM "Software\Classes\.fhnsis" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Sample NSIS document"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\SampleApp.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\SampleApp.exe" "%1"'

  WriteRegStr HKCU "${APPKEY}" "Greeting" "你好"
  WriteRegStr HKCU "${APPKEY}" "LastDocument" "$PROFILE\Sample #1.fhnsis"

  CreateDirectory "$SMPROGRAMS\Sample NSIS"
  CreateShortCut "$SMPROGRAMS\Sample NSIS\Sample NSIS.lnk" "$INSTDIR\SampleApp.exe"

  WriteRegStr HKLM "${UNKEY}" "DisplayName" "Sample NSIS"
  WriteRegStr HKLM "${UNKEY}" "DisplayVersion" "1.4.0"
  WriteRegStr HKLM "${UNKEY}" "Publisher" "Fernhill Labs"
  WriteRegStr HKLM "${UNKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNKEY}" "DisplayIcon" "$INSTDIR\SampleApp.exe"
  WriteRegStr HKLM "${UNKEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNKEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Sample NSIS\Sample NSIS.lnk"
  RMDir "$SMPROGRAMS\Sample NSIS"
  Delete "$INSTDIR\SampleApp.exe"
  Delete "$INSTDIR\sample.dll"
  Delete "$INSTDIR\说明.txt"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${APPKEY}"
  DeleteRegKey HKCU "${APPKEY}"
  DeleteRegKey HKLM "Software\Classes\.fhnsis"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "${UNKEY}"
SectionEnd
