; The installer of Dragon Valley for 64-bit Windows. scripts/build-windows.sh makes
; it from the portable folder, the same files the zip holds:
;
;   makensis -DSOURCE=<folder> -DFILES=<list.nsh> -DOUTFILE=<setup.exe> installer.nsi
;
; FILES lists the folder's files and folders as Delete and RMDir lines, so that the
; uninstaller removes exactly what was installed and nothing else in the folder.
; (CMake fills in the version and the source's paths.)
;
; Run by an administrator it installs for all users (Program Files, the common Start
; menu); run by anyone else, for that user alone (their own Programs folder), so
; that a pupil's account can install it too. On the command line /AllUsers or
; /CurrentUser choose, and /S installs or uninstalls without a question.

; A 64-bit installer for a 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma

!define NAME "Dragon Valley"
!define VERSION "@PROJECT_VERSION@"
!define PUBLISHER "Dragon Valley developers"
!define PROGRAM "dragon-valley.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DragonValley"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${NAME}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include x64.nsh

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ICON "@PROJECT_SOURCE_DIR@/resources/icon.ico"
!define MUI_UNICON "@PROJECT_SOURCE_DIR@/resources/icon.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"

!insertmacro MUI_PAGE_LICENSE "@PROJECT_SOURCE_DIR@/LICENSE"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the default where Windows speaks neither.
!insertmacro MUI_LANGUAGE "English"
; NSIS's Bulgarian lacks the texts of the page that chooses for whom to install.
!define MULTIUSER_TEXT_INSTALLMODE_TITLE "Вид на инсталацията"
!define MULTIUSER_TEXT_INSTALLMODE_SUBTITLE "За кого да се инсталира програмата?"
!define MULTIUSER_INNERTEXT_INSTALLMODE_TOP "Изберете дали програмата да е достъпна за всички потребители на компютъра или само за вас."
!define MULTIUSER_INNERTEXT_INSTALLMODE_ALLUSERS "За &всички потребители на този компютър"
!define MULTIUSER_INNERTEXT_INSTALLMODE_CURRENTUSER "Само за &мен"
!insertmacro MUI_LANGUAGE "Bulgarian"

Function .onInit
    ; A 64-bit program: its entries go in the 64-bit registry.
    SetRegView 64
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
    SetRegView 64
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0

    ; "Apps and features": the uninstaller knows from its command line which of
    ; the two kinds of install it removes.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    !include "${FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
