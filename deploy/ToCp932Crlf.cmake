# Writes OUTPUT as the UTF-8 text SOURCE in code page 932 with CR LF line
# ends, the form the Windows profile functions and Notepad expect.
execute_process(COMMAND iconv -f UTF-8 -t CP932 ${SOURCE}
                OUTPUT_VARIABLE text RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot convert ${SOURCE} to code page 932")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
