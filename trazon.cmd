@echo off
rem Runs trazon.exe from the Windows zip: provides the installation bundled beside it when
rem QRXROOT is not set, English messages when QLANG is not set, and the log directory
rem %HOME%\norvel\kv\log (HOME is the user's profile directory when not set). The program's
rem exit code is passed through. With an installation of the schematic system of your own, run
rem bin\trazon.exe directly.
setlocal
if not defined QRXROOT set "QRXROOT=%~dp0share\qrxroot"
if not defined QLANG set "QLANG=english"
if not defined HOME set "HOME=%USERPROFILE%"
if not exist "%HOME%\norvel\kv\log" mkdir "%HOME%\norvel\kv\log"
"%~dp0bin\trazon.exe" %*
exit /b %ERRORLEVEL%
