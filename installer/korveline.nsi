; Korveline's Windows installer. One script makes both installers:
;   makensis -DARCH=x86|x64 -DVERSION=1.2.3 -DPROGRAM=korveline.exe -DICON=korveline.ico
;            -DOUTFILE=setup.exe installer/korveline.nsi
; scripts/release.sh passes these.
;
; Without a window:  setup.exe /S [/NOASSOC] [/D=folder]    uninstall.exe /S [/PURGE]
;   /NOASSOC  leaves the .asm association off (its box unticked)
;   /PURGE    also removes the settings under HKLM\Software\asm (its box ticked)
;
; The installer and the program have the same bitness, so both see the same
; view of HKLM\Software (the 32-bit one under WOW6432Node on 64-bit Windows).

!ifndef ARCH | VERSION | PROGRAM | ICON | OUTFILE
  !error "Give ARCH, VERSION, PROGRAM, ICON and OUTFILE with -D"
!endif
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAMS_DIR "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAMS_DIR "$PROGRAMFILES"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korveline"
!define STORE_KEY "Software\asm"
!define PROG_ID "Korveline.Qorvath"

Name "Korveline ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_DIR}\Korveline"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; The program's settings and the association are machine-wide.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Korveline"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Korveline ${VERSION} setup"
VIAddVersionKey CompanyName "The Korveline developers"
VIAddVersionKey LegalCopyright "(c) 2026 the Korveline developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The keys a registration writes, deepest first: a key with sub-keys is
; kept, as the program's own switch keeps it. PREFIX is "" or "un.".
!macro ASSOCIATION_FUNCTIONS PREFIX
  Function ${PREFIX}DeleteProgIdKeys
    DeleteRegKey /ifnosubkeys HKCR "${PROG_ID}\Shell\Open\command"
    DeleteRegKey /ifnosubkeys HKCR "${PROG_ID}\Shell\Open"
    DeleteRegKey /ifnosubkeys HKCR "${PROG_ID}\Shell"
    DeleteRegKey /ifnosubkeys HKCR "${PROG_ID}\DefaultIcon"
    DeleteRegKey /ifnosubkeys HKCR "${PROG_ID}"
  FunctionEnd

  ; Switches the association off, as Options > Open with *.asm does, but
  ; leaves .asm alone when another program owns it now.
  Function ${PREFIX}RemoveAsmFiles
    ReadRegStr $0 HKCR ".asm" ""
    ${If} $0 == "${PROG_ID}"
      DeleteRegKey /ifnosubkeys HKCR ".asm"
    ${EndIf}
    Call ${PREFIX}DeleteProgIdKeys
    ClearErrors
    ReadRegDWORD $0 HKLM "${STORE_KEY}" "asmfiles"
    ${IfNot} ${Errors}
      WriteRegDWORD HKLM "${STORE_KEY}" "asmfiles" 0
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro ASSOCIATION_FUNCTIONS ""
!insertmacro ASSOCIATION_FUNCTIONS "un."

; The store with the values of the program's first start, unless it exists,
; so that the program's first start keeps the association as chosen here.
Function CreateStore
  ClearErrors
  ReadRegDWORD $0 HKLM "${STORE_KEY}" ""
  ${If} ${Errors}
  ${OrIf} $0 == 0
    WriteRegDWORD HKLM "${STORE_KEY}" "" 1
    WriteRegStr HKLM "${STORE_KEY}" "tasm" ""
    WriteRegStr HKLM "${STORE_KEY}" "tlink" ""
    WriteRegStr HKLM "${STORE_KEY}" "16btasmEXE" "/z /zi /n /m2"
    WriteRegStr HKLM "${STORE_KEY}" "16btlinkEXE" "/x /v"
    WriteRegStr HKLM "${STORE_KEY}" "32btasmEXE" "/z /zi /n /m2"
    WriteRegStr HKLM "${STORE_KEY}" "32btlinkEXE" "/x /v /3"
    WriteRegStr HKLM "${STORE_KEY}" "16btasmCOM" "/z /zi /n /m2"
    WriteRegStr HKLM "${STORE_KEY}" "16btlinkCOM" "/x /v /t"
    WriteRegStr HKLM "${STORE_KEY}" "32btasmCOM" "/z /zi /n /m2"
    WriteRegStr HKLM "${STORE_KEY}" "32btlinkCOM" "/x /v /t /3"
    WriteRegDWORD HKLM "${STORE_KEY}" "asmfiles" 0
  ${EndIf}
FunctionEnd

Section "Korveline" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=korveline.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Korveline.lnk" "$INSTDIR\korveline.exe" "" "$INSTDIR\korveline.exe" 0
  Call CreateStore

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Korveline"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Korveline developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korveline.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; What the program's switch writes when it registers the association.
Section "Open .asm files with Korveline" SecAssoc
  DeleteRegKey /ifnosubkeys HKCR ".asm"
  Call DeleteProgIdKeys
  WriteRegStr HKCR ".asm" "" "${PROG_ID}"
  WriteRegStr HKCR ".asm" "Content Type" "Korveline"
  ; The program's folder and name, with no doubled backslash in a drive root.
  StrLen $0 "$INSTDIR"
  ${If} $0 == 3
    StrCpy $1 "$INSTDIR"
  ${Else}
    StrCpy $1 "$INSTDIR\"
  ${EndIf}
  WriteRegStr HKCR "${PROG_ID}\Shell\Open\command" "" "$1korveline.exe %1"
  WriteRegStr HKCR "${PROG_ID}\DefaultIcon" "" "$1korveline.exe,0"
  WriteRegDWORD HKLM "${STORE_KEY}" "asmfiles" 1
SectionEnd

Section "-Association left off"
  ${IfNot} ${SectionIsSelected} ${SecAssoc}
    Call RemoveAsmFiles
  ${EndIf}
SectionEnd

Section "un.Korveline" UnSecProgram
  SectionIn RO
  SetShellVarContext all
  Call un.RemoveAsmFiles
  Delete "$SMPROGRAMS\Korveline.lnk"
  Delete "$INSTDIR\korveline.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: sources saved beside the program stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove the settings (HKLM\Software\asm)" UnSecPurge
  DeleteRegKey HKLM "${STORE_KEY}"
  DeleteRegKey HKCU "Software\Korveline"
SectionEnd

Function .onInit
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_ICONSTOP "This is the installer for 64-bit Windows. Use korveline-${VERSION}-setup.exe." /SD IDOK
      Abort
    ${EndIf}
  !endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOASSOC" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAssoc}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecPurge}
  ${EndIf}
FunctionEnd
