# The registry keys the end-to-end tests read and write, spelled as both `wine reg` and
# regedit scripts take them. Sourced by the scripts that need them.

# The program's key; each profile (the program file's name) has its own key below it.
VULKARA_KEY='HKEY_CURRENT_USER\Software\Tarvikon\Vulkara'
# The settings key of the profile of vulkara.scr.
VULKARA_CONFIG="$VULKARA_KEY\\vulkara\\Config"
# The system's screen-saver settings, with its password option.
DESKTOP_KEY='HKEY_CURRENT_USER\Control Panel\Desktop'
