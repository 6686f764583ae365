@echo off
rem Removes the automation class "Quellon.App" that register.cmd registered; with /allusers (as an
rem administrator) the registration for every user.
"%~dp0Quellon.exe" /unregserver %*
exit /b %errorlevel%
