@echo off
rem Runs osslsign.sh, which Wine starts without waiting for it, and waits for the exit status
rem it leaves beside the file (at most about two minutes).
del "%~1.status" 2>nul
%~dp0osslsign.sh %1
set n=0
:wait
if exist "%~1.status" goto done
set /a n+=1
if %n% gtr 120 exit /b 9
ping -n 2 127.0.0.1 >nul
goto wait
:done
type "%~1.log"
set /p rc=<"%~1.status"
del "%~1.status" "%~1.log"
exit /b %rc%
