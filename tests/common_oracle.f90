! Reference for the record formatter tests: the Fortran runtime formats and
! reads the same fields. Cases come on standard input, two lines each:
!   W <type> <count> <layout>   then the values: type R (float bit patterns)
!                               or I (integers), written through the layout
!   R <type> <layout>           then one line of text read through the
!                               layout; prints the float bits, the integer,
!                               or ERR on a conversion error
! Every result is followed by a line holding only '~' so that the test can
! split the output into cases.
program common_oracle
  implicit none
  character(len=400) :: line, layout
  character(len=1) :: op, kind
  integer :: n, ios, i, iv
  integer :: bits(64), ints(64)
  real :: vals(64), r
  do
    read (*, '(A)', iostat=ios) line
    if (ios /= 0) exit
    op = line(1:1)
    kind = line(3:3)
    if (op == 'W') then
      read (line(5:), *) n
      i = index(line(5:), ' ')
      layout = adjustl(line(5 + i:))
      if (kind == 'R') then
        read (*, *) (bits(i), i = 1, n)
        do i = 1, n
          vals(i) = transfer(bits(i), r)
        end do
        write (*, layout) (vals(i), i = 1, n)
      else
        read (*, *) (ints(i), i = 1, n)
        write (*, layout) (ints(i), i = 1, n)
      end if
    else
      layout = adjustl(line(5:))
      read (*, '(A)') line
      if (kind == 'R') then
        read (line, layout, iostat=ios) r
        if (ios /= 0) then
          write (*, '(A)') 'ERR'
        else
          write (*, '(I0)') transfer(r, iv)
        end if
      else
        read (line, layout, iostat=ios) iv
        if (ios /= 0) then
          write (*, '(A)') 'ERR'
        else
          write (*, '(I0)') iv
        end if
      end if
    end if
    write (*, '(A)') '~'
  end do
end program common_oracle
