package quillomere.tarvex;

/**
 * The strand a genotyping probe group reads.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_STRAND_DIRECTION_TYPE {
    /** 0. */
    public static final int SENSE_DIRECTION = 0;
    /** 1. */
    public static final int ANTISENSE_DIRECTION = 1;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_STRAND_DIRECTION_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_STRAND_DIRECTION_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_STRAND_DIRECTION_TYPE && ((TARVEX_STRAND_DIRECTION_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case SENSE_DIRECTION: return "SENSE_DIRECTION";
            case ANTISENSE_DIRECTION: return "ANTISENSE_DIRECTION";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
