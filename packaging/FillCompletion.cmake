# cmake -DTEMPLATE=... -DREADABLE=... -DWRITABLE=... -DOUTPUT=... -P FillCompletion.cmake
# Puts the register names (one a line in READABLE and WRITABLE) into the completion.
file(STRINGS ${READABLE} readable)
file(STRINGS ${WRITABLE} writable)
list(JOIN readable " " GYRO_READABLE_REGISTERS)
list(JOIN writable " " GYRO_WRITABLE_REGISTERS)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
