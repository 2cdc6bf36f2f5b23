package quillomere.tarvex;

/**
 * The detection (absolute) call of a probe set.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_ABS_CALL_TYPE {
    /** 0. */
    public static final int PRESENT_CALL_TYPE = 0;
    /** 1. */
    public static final int MARGINAL_CALL_TYPE = 1;
    /** 2. */
    public static final int ABSENT_CALL_TYPE = 2;
    /** 3. */
    public static final int NO_ABS_CALL_TYPE = 3;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_ABS_CALL_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_ABS_CALL_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_ABS_CALL_TYPE && ((TARVEX_ABS_CALL_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case PRESENT_CALL_TYPE: return "PRESENT_CALL_TYPE";
            case MARGINAL_CALL_TYPE: return "MARGINAL_CALL_TYPE";
            case ABSENT_CALL_TYPE: return "ABSENT_CALL_TYPE";
            case NO_ABS_CALL_TYPE: return "NO_ABS_CALL_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
