# Writes a spectrogram picture beside every WAV in DIR with sox (SOX).
file(GLOB wavs ${DIR}/*.wav)
foreach(w ${wavs})
  get_filename_component(name ${w} NAME_WE)
  if(name MATCHES "^cached_")
    continue()
  endif()
  execute_process(COMMAND ${SOX} ${w} -n remix - spectrogram -x 900 -y 257 -z 90 -t ${name} -o ${DIR}/${name}.png
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(WARNING "sox could not draw ${name}")
  endif()
endforeach()
