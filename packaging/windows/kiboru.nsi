; The installer of Kiboru for Windows (64-bit), made by scripts/windows-package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2 -DSTAGE=<program folder> -DLISTS=<folder>
;            -DLICENSE_PAGE=<text> -DOUTFILE=<setup.exe> kiboru.nsi
; LICENSE_PAGE is the licence page's text: Kiboru's MIT licence and the
; notices of the parts it ships.
; STAGE is the unpacked program folder of the zip; LISTS holds install-files.nsh
; and uninstall-files.nsh, its files one by one (without data/).
;
; Installs for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Kiboru. The data folder (default %USERPROFILE%\Kiboru)
; is made from the demo folder only when it does not exist; an existing one is
; never touched. The Start-menu shortcut starts Kiboru in the data folder.
; The uninstaller removes the program's files and the shortcut, never the data.
;
; Silent:  kiboru-1.2-setup.exe /S /DATA=C:\Kyufu /D=C:\Apps\Kiboru   (/D= last, unquoted)
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WordFunc.nsh

!define NAME "Kiboru"
!define SHORTCUT "キボル 給付請求"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiboru"
!define SETTINGS_KEY "Software\Kiboru"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kiboru"
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallFolder"
ShowInstDetails show
BrandingText "Kiboru ${VERSION}"

Var DataDir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${LICENSE_PAGE}"
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "データフォルダの選択"
!define MUI_PAGE_HEADER_SUBTEXT "生徒名簿と seikyu フォルダを置くフォルダを選んで下さい。"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Kiboru はこのフォルダで起動します。フォルダがないときは、お試し用のデータ（架空の生徒）で作ります。すでにあるフォルダの中身は変えません。"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "データフォルダ"
!define MUI_DIRECTORYPAGE_VARIABLE $DataDir
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckDataDir
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
    ReadRegStr $DataDir HKCU "${SETTINGS_KEY}" "DataFolder"
    ${If} $DataDir == ""
        StrCpy $DataDir "$PROFILE\Kiboru"
    ${EndIf}
    ${GetParameters} $R0
    ; "/DATA=C:\My data" (one quoted argument, as PowerShell passes a path
    ; with spaces) reads like /DATA="C:\My data".
    ${WordReplace} $R0 '"/DATA=' '/DATA="' "+" $R0
    ClearErrors
    ${GetOptions} $R0 "/DATA=" $R1
    ${IfNot} ${Errors}
    ${AndIf} $R1 != ""
        StrCpy $DataDir $R1
    ${EndIf}
FunctionEnd

; The data folder holds the office's claims: it must not be the program
; folder, whose files the uninstaller removes.
Function CheckDataDir
    ${If} $DataDir == $INSTDIR
        MessageBox MB_ICONEXCLAMATION "データフォルダにはプログラムのフォルダとは別のフォルダを選んで下さい。" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

Section "Kiboru"
    Call CheckDataDir
    !include "${LISTS}/install-files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ${IfNot} ${FileExists} "$DataDir\*.*"
        SetOutPath "$DataDir"
        File /r "${STAGE}/data/*"
    ${Else}
        DetailPrint "データフォルダ $DataDir はすでにあるので、そのまま使います。"
    ${EndIf}

    ; The shortcut's "Start in" is the output folder at this point.
    SetOutPath "$DataDir"
    CreateShortCut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\kiboru.exe"

    WriteRegStr HKCU "${SETTINGS_KEY}" "InstallFolder" "$INSTDIR"
    WriteRegStr HKCU "${SETTINGS_KEY}" "DataFolder" "$DataDir"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${SHORTCUT} (Kiboru ${VERSION})"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kiboru developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kiboru.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only the files the installer put there, one by one, then the folders if
; they are empty: whatever else the program folder holds stays.
Section "Uninstall"
    Delete "$SMPROGRAMS\${SHORTCUT}.lnk"
    !include "${LISTS}/uninstall-files.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${SETTINGS_KEY}" "InstallFolder"
SectionEnd
