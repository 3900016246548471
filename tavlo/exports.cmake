# The 24 exports with the bytes of arguments each takes (stdcall decoration
# on i686). TAVLO.DEF is generated from this list for each architecture.
set(TAVLO_EXPORTS
    TavloGetVersion@4 TavloNeedUpdate@4 TavloGetDevices@4
    TavloGetFirmVer@12 TavloGetPanelId@12 TavloGetCalibrationData@16 TavloSetCalibrationData@16
    TavloGetPointdataEnable@12 TavloSetPointdataEnable@12 TavloCheckTouch@12
    TavloGetClickData@16 TavloSetClickData@16 TavloGetClickSound@16 TavloSetClickSound@16
    TavloGetPanelLed@12 TavloSetPanelLed@12 TavloGetStartupMode@4 TavloSetStartupMode@4
    TavloGetClickMode@4 TavloSetClickMode@4 TavloGetClickOnceMode@8 TavloSetClickOnceMode@8
    TavloReadEeprom@16 TavloWriteEeprom@16)

function(tavlo_write_def path decorated)
    set(text "LIBRARY TAVLO.DLL\nEXPORTS\n")
    foreach(entry IN LISTS TAVLO_EXPORTS)
        if(NOT decorated)
            string(REGEX REPLACE "@[0-9]+$" "" entry "${entry}")
        endif()
        string(APPEND text "    ${entry}\n")
    endforeach()
    file(WRITE ${path} "${text}")
endfunction()
