@echo off
rem Opens the notes in the system's text editor.
start notepad "%~dp0..\notepadish.txt"
