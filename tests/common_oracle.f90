! Reference for the record formatter tests: the Fortran runtime formats and
! reads the same fields. Cases come on standard input:
!   W <type> <count> <layout>   then the values: type R (float bit patterns)
!                               or I (integers), written through the layout
!   R <type> <layout>           then one line of text read through the
!                               layout; prints the float bits, the integer,
!                               or ERR on a conversion error
!   L <lines> <reads>           then per read statement its layout ('*' for
!                               free form) and a line with the number of
!                               targets, their kinds (1 integer, 2 real,
!                               3 text) and their text lengths; then the
!                               lines of a file, each after its length and
!                               a colon, so that trailing blanks stay. The
!                               statements read the file one after the
!                               other; each prints D and its targets
!                               (integers, float bits, [text]), or EOF or
!                               ERR, which ends the case
! Every result is followed by a line holding only '~' so that the test can
! split the output into cases.
program common_oracle
  implicit none
  character(len=400) :: line, layout
  character(len=1) :: op, kind
  integer :: n, ios, i, iv
  integer :: bits(64), ints(64)
  real :: vals(64), r
  character(len=1000) :: text
  character(len=400) :: lays(2)
  integer :: nlines, nreads, ln, nt(2), ty(16, 2), tl(16, 2), k, j, su
  open (newunit=su, status='scratch')
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
    else if (op == 'L') then
      read (line(3:), *) nlines, nreads
      do j = 1, nreads
        read (*, '(A)') lays(j)
        read (*, *) nt(j), (ty(k, j), k = 1, nt(j)), (tl(k, j), k = 1, nt(j))
      end do
      rewind (su)
      do k = 1, nlines
        read (*, '(A)') text
        i = index(text, ':')
        read (text(1:i - 1), *) ln
        write (su, '(A)') text(i + 1:i + ln)
      end do
      endfile (su)
      rewind (su)
      do j = 1, nreads
        call read_statement(lays(j), nt(j), ty(:, j), tl(:, j), ios)
        if (ios /= 0) exit
      end do
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

contains

  ! One read statement from the scratch file into targets that hold distinct
  ! values beforehand, so that a target left unchanged shows. The targets are
  ! read through runs of integers, reals and texts in turn, most of them
  ! empty, which gives any order of kinds in one statement.
  subroutine read_statement(layout, n, ty, tl, ios)
    character(len=*), intent(in) :: layout
    integer, intent(in) :: n, ty(:), tl(:)
    integer, intent(out) :: ios
    integer :: iv(16), s(18), e(18), k, r
    real :: rv(16)
    character(len=40) :: tv(16)
    s = 1
    e = 0
    r = 1
    do k = 1, n
      iv(k) = -777777 - k
      rv(k) = -7777.25 - k
      tv(k) = repeat('@', 40)
      do while (mod(r - 1, 3) + 1 /= ty(k))
        r = r + 1
      end do
      if (r > 18) error stop 'too many changes of target kind'
      if (e(r) < s(r)) s(r) = k
      e(r) = k
    end do
    if (layout == '*') then
      read (su, *, iostat=ios) &
        (iv(k), k = s(1), e(1)), (rv(k), k = s(2), e(2)), (tv(k)(1:tl(k)), k = s(3), e(3)), &
        (iv(k), k = s(4), e(4)), (rv(k), k = s(5), e(5)), (tv(k)(1:tl(k)), k = s(6), e(6)), &
        (iv(k), k = s(7), e(7)), (rv(k), k = s(8), e(8)), (tv(k)(1:tl(k)), k = s(9), e(9)), &
        (iv(k), k = s(10), e(10)), (rv(k), k = s(11), e(11)), (tv(k)(1:tl(k)), k = s(12), e(12)), &
        (iv(k), k = s(13), e(13)), (rv(k), k = s(14), e(14)), (tv(k)(1:tl(k)), k = s(15), e(15)), &
        (iv(k), k = s(16), e(16)), (rv(k), k = s(17), e(17)), (tv(k)(1:tl(k)), k = s(18), e(18))
    else
      read (su, layout, iostat=ios) &
        (iv(k), k = s(1), e(1)), (rv(k), k = s(2), e(2)), (tv(k)(1:tl(k)), k = s(3), e(3)), &
        (iv(k), k = s(4), e(4)), (rv(k), k = s(5), e(5)), (tv(k)(1:tl(k)), k = s(6), e(6)), &
        (iv(k), k = s(7), e(7)), (rv(k), k = s(8), e(8)), (tv(k)(1:tl(k)), k = s(9), e(9)), &
        (iv(k), k = s(10), e(10)), (rv(k), k = s(11), e(11)), (tv(k)(1:tl(k)), k = s(12), e(12)), &
        (iv(k), k = s(13), e(13)), (rv(k), k = s(14), e(14)), (tv(k)(1:tl(k)), k = s(15), e(15)), &
        (iv(k), k = s(16), e(16)), (rv(k), k = s(17), e(17)), (tv(k)(1:tl(k)), k = s(18), e(18))
    end if
    if (ios < 0) then
      write (*, '(A)') 'EOF'
    else if (ios > 0) then
      write (*, '(A)') 'ERR'
    else
      write (*, '(A)', advance='no') 'D'
      do k = 1, n
        select case (ty(k))
        case (1)
          write (*, '(1X,I0)', advance='no') iv(k)
        case (2)
          write (*, '(1X,I0)', advance='no') transfer(rv(k), k)
        case default
          write (*, '(A)', advance='no') ' [' // tv(k)(1:tl(k)) // ']'
        end select
      end do
      write (*, '(A)') ''
    end if
  end subroutine read_statement
end program common_oracle
