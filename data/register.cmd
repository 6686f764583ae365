@echo off
rem Registers the automation class "Quellon.App" of the Quellon.exe beside this file, for the
rem current user; "register.cmd /allusers", run as an administrator, registers it for every user.
"%~dp0Quellon.exe" /regserver %*
exit /b %errorlevel%
