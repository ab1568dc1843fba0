# Turns the user guide (Markdown) into the program's help page with cmark, beside copies of
# its pictures. Run with: cmake -DCMARK=... -DSOURCE=USAGE.md -DPICTURES=dir -DOUTPUT=dir -P
execute_process(COMMAND ${CMARK} --to html ${SOURCE}
  OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmark could not convert ${SOURCE}")
endif()
file(MAKE_DIRECTORY ${OUTPUT}/screenshots)
file(WRITE ${OUTPUT}/wendo.html "<!DOCTYPE html>
<html><head><meta charset=\"utf-8\"><title>Wendo Help</title>
<style>body{font-family:sans-serif;max-width:52em;margin:1em auto;padding:0 1em}
img{max-width:100%;border:1px solid #ccc}code{background:#f3f3f3}</style>
</head><body>
${body}</body></html>
")
file(GLOB pictures ${PICTURES}/*.png)
file(COPY ${pictures} DESTINATION ${OUTPUT}/screenshots)
